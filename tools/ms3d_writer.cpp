#include "tools/ms3d_writer.h"

#include "tools/binary_writer.h"

std::vector<uint8_t> EncodeMs3d(const Ms3dFile& file) {
  ByteBuffer out;
  out.Bytes("MS3D000000", 10);
  out.I32(file.version);
  out.U16(uint16_t(file.vertices.size()));
  for (const Ms3dVertex& v : file.vertices) {
    out.U8(0);  // flags
    for (float p : v.position) out.F32(p);
    out.U8(uint8_t(v.boneId));
    out.U8(0);  // reference count
  }
  out.U16(uint16_t(file.triangles.size()));
  for (const Ms3dTriangle& tri : file.triangles) {
    out.U16(0);  // flags
    for (uint16_t index : tri.vertices) out.U16(index);
    for (const auto& normal : tri.normals)
      for (float n : normal) out.F32(n);
    for (float s : tri.s) out.F32(s);
    for (float t : tri.t) out.F32(t);
    out.U8(tri.smoothingGroup);
    out.U8(tri.groupIndex);
  }
  out.U16(uint16_t(file.groups.size()));
  for (const Ms3dGroup& group : file.groups) {
    out.U8(0);  // flags
    out.FixedString(group.name, 32);
    out.U16(uint16_t(group.triangles.size()));
    for (uint16_t index : group.triangles) out.U16(index);
    out.U8(uint8_t(group.material));
  }
  out.U16(uint16_t(file.materials.size()));
  for (const Ms3dMaterial& m : file.materials) {
    out.FixedString(m.name, 32);
    for (float v : m.ambient) out.F32(v);
    for (float v : m.diffuse) out.F32(v);
    for (float v : m.specular) out.F32(v);
    for (float v : m.emissive) out.F32(v);
    out.F32(m.shininess);
    out.F32(m.transparency);
    out.U8(0);  // mode
    out.FixedString(m.texture, 128);
    out.FixedString(m.alphaMap, 128);
  }
  // Animation: frames per second, current time, frame count; no joints.
  out.F32(24.0f);
  out.F32(0.0f);
  out.I32(30);
  out.U16(0);
  return out.bytes;
}

bool WriteMs3d(const std::string& path, const Ms3dFile& file) {
  return WriteFileBytes(path, EncodeMs3d(file));
}
