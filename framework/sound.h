// Every sound of the game, effects and music alike: one OpenAL source
// playing one buffer filled from a WAV file. The objects are plain globals,
// loaded at start-up (the music by the loaders) and released at shutdown.
// Each operation is one OpenAL call on one source, so both threads may use
// them without locks.
#pragma once

#include <cstdint>

struct Sound {
  uint32_t sourceCopy;  // copy of the source name, written at the end of Load
  void* data;           // sample data from the WAV reader; freed right after the upload
  int32_t format;       // OpenAL buffer format
  int32_t frequency;    // samples per second
  int32_t size;         // sample data size in bytes
  uint32_t spare;
  uint32_t source;      // OpenAL source name, 0 when not loaded
  uint32_t buffer;      // OpenAL buffer name, 0 when not loaded
  char name[32];        // file name, for the test trace

  // Reads the WAV file and makes a new source and buffer: pitch 1, gain 1,
  // looping as asked (whatever the file says), full gain up to 12 units.
  // A file that cannot be read leaves an empty buffer and a silent source.
  void Load(const char* path, bool loop);
  // Plays the source; a sound not loaded yet plays nothing.
  void Play();
  void Stop();
  void Pause();
  // Deletes the source and the buffer; the object can be loaded again.
  void Release();
  void SetGain(float gain);
  void SetPitch(float pitch);
  void SetPositionVelocity(float px, float py, float pz, float vx, float vy, float vz);
  void SetRelative();
  // True while the source plays; false for a silent or unloaded source.
  bool IsPlaying() const;
};

// Distance up to which a positioned sound keeps full gain, in world units.
inline constexpr float kSoundReferenceDistance = 12.0f;

// The sounds loaded at start-up, in load order (see LoadStartupSounds).
extern Sound gSndEngine0, gSndEngine1, gSndEngine2;  // player's engine: low, middle, high revs
extern Sound gSndOpponentEngine[3];
extern Sound gSndCityEngine;
extern Sound gSndCr0, gSndCr1;                      // player's truck hits something: light, hard
extern Sound gSndSuspension;
extern Sound gSndCrash[4][4];                        // [bank][source]
extern Sound gSndSt1;                                // player's skid
extern Sound gSndSt2[3];                             // opponents' skids
extern Sound gSndPoint;                              // checkpoint
extern Sound gSndGear;
extern Sound gSndNitro;
extern Sound gSndWind;
extern Sound gSndSignal[3];                          // traffic horns
extern Sound gSndAmbient;
// The menu sounds, menu1.wav .. menu10.wav in this order, by what they mark.
extern Sound gSndMenuClick;     // a press; with gSndMenuChange after it, a screen change
extern Sound gSndMenuHover;     // the pointer reaches a widget; a key typed into the name
extern Sound gSndMenuStep;      // a list or selector step, the start-up Enter, a palette pick
extern Sound gSndMenuPurchase;  // a purchase, a key bound
extern Sound gSndMenuRefusal;   // a press refused (locked, too dear)
extern Sound gSndMenuChange;    // follows gSndMenuClick or gSndMenuPurchase when the screen changes
extern Sound gSndMenuSettled;   // a new screen has settled; the race paused
extern Sound gSndMenuLoading;   // the race loading screen entered
extern Sound gSndCountdownGo;   // the start camera's next shot, and START
extern Sound gSndCountdownBeep; // the countdown's 3, 2, 1
// The music track, loaded by the worker and the world and garage loaders.
extern Sound gMusic;

inline constexpr int kStartupSoundCount = 48;

// Opens the sound device ("Generic Software" where it exists, else the
// default device), makes its context current and clears the error state.
// False, after a message on stderr, when no device opens.
bool OpenSoundDevice();
// Loads the 48 start-up sounds from base/sound/ in their fixed order.
void LoadStartupSounds();
// Doppler factor 1, speed of sound 343, exponent distance model (clamped).
void SetSoundModel();
// Turns on the reverb when gEaxOn asks for it and the device has EAX 2.0;
// otherwise clears gEaxOn, so that menu.inf says off at exit.
void SetupEax();
// Releases the 48 start-up sounds and gMusic.
void ReleaseAllSounds();
// Releases the context and closes the device of the current context.
void CloseSoundDevice();

// The race sounds as a group: stop (with the nitro), pause and resume (without it).
void StopAllSounds();
void PauseAllSounds();
void ResumeAllSounds();

void SetListenerPosition(float x, float y, float z);
void SetListenerVelocity(float x, float y, float z);
void SetListenerOrientation(float atX, float atY, float atZ, float upX, float upY, float upZ);

// The EAXSet entry point, when the reverb was turned on.
using EaxSetFunction = int (*)(const void* propertySet, unsigned property, unsigned source,
                               void* value, unsigned size);
extern EaxSetFunction gEaxSet;
