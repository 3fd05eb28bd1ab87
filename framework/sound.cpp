#include "framework/sound.h"

#include "framework/settings.h"
#include "platform/platform.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alut.h>

#include <cstdio>
#include <cstring>
#include <string>

Sound gSndEngine0, gSndEngine1, gSndEngine2;
Sound gSndOpponentEngine[3];
Sound gSndCityEngine;
Sound gSndCr0, gSndCr1;
Sound gSndSuspension;
Sound gSndCrash[4][4];
Sound gSndSt1;
Sound gSndSt2[3];
Sound gSndPoint;
Sound gSndGear;
Sound gSndNitro;
Sound gSndWind;
Sound gSndSignal[3];
Sound gSndAmbient;
Sound gSndMenuClick, gSndMenuHover, gSndMenuStep, gSndMenuPurchase, gSndMenuRefusal;
Sound gSndMenuChange, gSndMenuSettled, gSndMenuLoading, gSndCountdownGo, gSndCountdownBeep;
Sound gMusic;

EaxSetFunction gEaxSet;

namespace {

// ALUT's WAV reader hands back the sample data with its format; the
// interface is marked deprecated in favour of ALUT's own buffer creation,
// which would need ALUT to own the context. We keep the plain reader.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
void ReadWavFile(const char* path, ALenum& format, void*& data, ALsizei& size, ALsizei& frequency) {
  ALboolean fileLoops = AL_FALSE;  // ignored: the caller decides about looping
  alutLoadWAVFile(reinterpret_cast<ALbyte*>(const_cast<char*>(path)), &format, &data, &size,
                  &frequency, &fileLoops);
}
void FreeWavData(ALenum format, void* data, ALsizei size, ALsizei frequency) {
  alutUnloadWAV(format, data, size, frequency);
}
#pragma GCC diagnostic pop

// The race sounds that the group operations act on, in their order; the
// nitro comes last so that pause and resume can leave it out.
Sound* const kRaceSounds[] = {
    &gSndSt1,        &gSndSt2[0],     &gSndSt2[1],           &gSndSt2[2],
    &gSndEngine0,    &gSndEngine1,    &gSndEngine2,          &gSndOpponentEngine[0],
    &gSndOpponentEngine[1], &gSndOpponentEngine[2], &gSndSuspension, &gSndCityEngine,
    &gSndWind,       &gSndAmbient,    &gSndNitro};
constexpr int kRaceSoundCount = sizeof kRaceSounds / sizeof kRaceSounds[0];

struct StartupSound {
  Sound* sound;
  const char* file;  // under base/sound/
  bool loop;
};

// The start-up table, in load order.
const StartupSound kStartupSounds[kStartupSoundCount] = {
    {&gSndEngine0, "en0.wav", true},
    {&gSndEngine1, "en1.wav", true},
    {&gSndEngine2, "en2.wav", true},
    {&gSndOpponentEngine[0], "en_ot0.wav", true},
    {&gSndOpponentEngine[1], "en_ot1.wav", true},
    {&gSndOpponentEngine[2], "en_ot2.wav", true},
    {&gSndCityEngine, "en_city.wav", true},
    {&gSndCr0, "cr0.wav", false},
    {&gSndCr1, "cr1.wav", false},
    {&gSndSuspension, "suspension.wav", true},
    {&gSndCrash[0][0], "crash0_0.wav", false},
    {&gSndCrash[0][1], "crash0_1.wav", false},
    {&gSndCrash[0][2], "crash0_2.wav", false},
    {&gSndCrash[0][3], "crash0_3.wav", false},
    {&gSndCrash[1][0], "crash1_0.wav", false},
    {&gSndCrash[1][1], "crash1_1.wav", false},
    {&gSndCrash[1][2], "crash1_2.wav", false},
    {&gSndCrash[1][3], "crash1_3.wav", false},
    {&gSndCrash[2][0], "crash2_0.wav", false},
    {&gSndCrash[2][1], "crash2_1.wav", false},
    {&gSndCrash[2][2], "crash2_2.wav", false},
    {&gSndCrash[2][3], "crash2_3.wav", false},
    {&gSndCrash[3][0], "crash3_0.wav", false},
    {&gSndCrash[3][1], "crash3_1.wav", false},
    {&gSndCrash[3][2], "crash3_2.wav", false},
    {&gSndCrash[3][3], "crash3_3.wav", false},
    {&gSndSt1, "st1.wav", true},
    {&gSndSt2[0], "st2.wav", true},
    {&gSndSt2[1], "st2.wav", true},
    {&gSndSt2[2], "st2.wav", true},
    {&gSndPoint, "point.wav", false},
    {&gSndGear, "gear.wav", false},
    {&gSndNitro, "nitro.wav", false},
    {&gSndWind, "wind.wav", true},
    {&gSndSignal[0], "signal0.wav", false},
    {&gSndSignal[1], "signal1.wav", false},
    {&gSndSignal[2], "signal2.wav", false},
    {&gSndAmbient, "ambient.wav", true},
    {&gSndMenuClick, "menu1.wav", false},
    {&gSndMenuHover, "menu2.wav", false},
    {&gSndMenuStep, "menu3.wav", false},
    {&gSndMenuPurchase, "menu4.wav", false},
    {&gSndMenuRefusal, "menu5.wav", false},
    {&gSndMenuChange, "menu6.wav", false},
    {&gSndMenuSettled, "menu7.wav", false},
    {&gSndMenuLoading, "menu8.wav", false},
    {&gSndCountdownGo, "menu9.wav", false},
    {&gSndCountdownBeep, "menu10.wav", false},
};

// The EAX 2.0 listener property set and the reverb it is given.
struct EaxGuid {
  uint32_t data1;
  uint16_t data2, data3;
  uint8_t data4[8];
};
constexpr EaxGuid kEaxListenerProperties = {
    0x0306A6A8, 0xB224, 0x11D2, {0x99, 0xE5, 0x00, 0x00, 0xE8, 0xD8, 0xC7, 0x22}};
struct EaxProperty {
  unsigned property;
  int32_t value;
};
constexpr EaxProperty kEaxReverb[] = {
    {11, 22},    // environment
    {7, 450},    // reflections
    {5, 2500},   // decay time
    {6, 1},      // decay HF ratio
    {14, -2},    // air absorption HF
};

}  // namespace

void Sound::Load(const char* path, bool loop) {
  const char* slash = std::strrchr(path, '/');
  std::snprintf(name, sizeof name, "%s", slash ? slash + 1 : path);
  ALenum alFormat = 0;
  void* samples = nullptr;
  ALsizei bytes = 0, rate = 0;
  ReadWavFile(path, alFormat, samples, bytes, rate);
  data = samples;
  format = alFormat;
  size = bytes;
  frequency = rate;
  ALuint newSource = 0, newBuffer = 0;
  alGenSources(1, &newSource);
  alGenBuffers(1, &newBuffer);
  source = newSource;
  buffer = newBuffer;
  if (data) {
    alBufferData(buffer, format, data, size, frequency);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    FreeWavData(format, data, size, frequency);
  } else {
    std::fprintf(stderr, "Cannot read sound %s\n", path);
  }
  data = nullptr;
  alSourcef(source, AL_PITCH, 1.0f);
  alSourcef(source, AL_GAIN, 1.0f);
  alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
  alSourcef(source, AL_REFERENCE_DISTANCE, kSoundReferenceDistance);
  alSourcef(source, AL_ROLLOFF_FACTOR, 1.0f);
  sourceCopy = source;
}

void Sound::Play() {
  // The window may gain the focus, which resumes the music, before the
  // start-up load has read it.
  if (source == 0) return;
  alSourcePlay(source);
  Sys_Trace("sound", name);
}

void Sound::Stop() { alSourceStop(source); }
void Sound::Pause() { alSourcePause(source); }

void Sound::Release() {
  if (source) alDeleteSources(1, &source);
  if (buffer) alDeleteBuffers(1, &buffer);
  source = buffer = sourceCopy = 0;
}

void Sound::SetGain(float gain) { alSourcef(source, AL_GAIN, gain); }

void Sound::SetPitch(float pitch) { alSourcef(source, AL_PITCH, pitch); }

void Sound::SetPositionVelocity(float px, float py, float pz, float vx, float vy, float vz) {
  alSource3f(source, AL_POSITION, px, py, pz);
  alSource3f(source, AL_VELOCITY, vx, vy, vz);
}

void Sound::SetRelative() { alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE); }

bool Sound::IsPlaying() const {
  ALint state = AL_STOPPED;  // stays so when there is no source or no context
  if (source) alGetSourcei(source, AL_SOURCE_STATE, &state);
  return state == AL_PLAYING;
}

bool OpenSoundDevice() {
  ALCdevice* device = alcOpenDevice("Generic Software");
  if (!device) device = alcOpenDevice(nullptr);
  if (!device) {
    std::fprintf(stderr, "Zarnok Racing: no sound device could be opened.\n");
    return false;
  }
  ALCcontext* context = alcCreateContext(device, nullptr);
  if (!context || !alcMakeContextCurrent(context)) {
    std::fprintf(stderr, "Zarnok Racing: the sound device gave no usable context.\n");
    if (context) alcDestroyContext(context);
    alcCloseDevice(device);
    return false;
  }
  alGetError();
  return true;
}

void LoadStartupSounds() {
  for (const StartupSound& entry : kStartupSounds) {
    std::string path = std::string("base/sound/") + entry.file;
    entry.sound->Load(path.c_str(), entry.loop);
  }
}

void SetSoundModel() {
  alDopplerFactor(1.0f);
  alSpeedOfSound(343.0f);
  alDistanceModel(AL_EXPONENT_DISTANCE_CLAMPED);
}

void SetupEax() {
  if (!gEaxOn) return;
  if (!alIsExtensionPresent("EAX2.0")) {
    gEaxOn = 0;
    return;
  }
  gEaxSet = reinterpret_cast<EaxSetFunction>(alGetProcAddress("EAXSet"));
  if (!gEaxSet) return;
  for (const EaxProperty& p : kEaxReverb) {
    int32_t value = p.value;
    gEaxSet(&kEaxListenerProperties, p.property, 0, &value, sizeof value);
  }
}

void ReleaseAllSounds() {
  for (const StartupSound& entry : kStartupSounds) entry.sound->Release();
  gMusic.Release();
}

void CloseSoundDevice() {
  ALCcontext* context = alcGetCurrentContext();
  if (!context) return;
  ALCdevice* device = alcGetContextsDevice(context);
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(context);
  if (device) alcCloseDevice(device);
}

void StopAllSounds() {
  for (int i = 0; i < kRaceSoundCount; ++i) kRaceSounds[i]->Stop();
}

void PauseAllSounds() {
  for (int i = 0; i < kRaceSoundCount - 1; ++i) kRaceSounds[i]->Pause();
}

void ResumeAllSounds() {
  for (int i = 0; i < kRaceSoundCount - 1; ++i) kRaceSounds[i]->Play();
}

void SetListenerPosition(float x, float y, float z) { alListener3f(AL_POSITION, x, y, z); }

void SetListenerVelocity(float x, float y, float z) { alListener3f(AL_VELOCITY, x, y, z); }

void SetListenerOrientation(float atX, float atY, float atZ, float upX, float upY, float upZ) {
  const float orientation[6] = {atX, atY, atZ, upX, upY, upZ};
  alListenerfv(AL_ORIENTATION, orientation);
}
