// Sound objects on OpenAL Soft's null output.
#include "framework/sound.h"

#include "framework/globals.h"
#include "framework/settings.h"
#include "app/window.h"
#include "tools/wav_writer.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class SoundDevice : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("ALSOFT_DRIVERS", "null", 0);  // no sound card on the test machines
    ASSERT_TRUE(OpenSoundDevice());
  }
  static void TearDownTestSuite() { CloseSoundDevice(); }
  void TearDown() override { ReleaseAllSounds(); }

  static std::string Tone(const std::string& name, double seconds) {
    std::vector<float> samples(size_t(22050 * seconds));
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = 0.5f * std::sin(0.1f * float(i));
    // One file per process: the tests run side by side and must not
    // overwrite each other's tone.
    std::string path = (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "-" + name)).string();
    EXPECT_TRUE(WriteWav(path, samples, 1, 22050));
    return path;
  }

  static ALint SourceInt(const Sound& s, ALenum what) {
    ALint value = -1;
    alGetSourcei(s.source, what, &value);
    return value;
  }
  static float SourceFloat(const Sound& s, ALenum what) {
    ALfloat value = -1;
    alGetSourcef(s.source, what, &value);
    return value;
  }
};

TEST_F(SoundDevice, LoopingFollowsTheArgument) {
  std::string path = Tone("zarnok-tone.wav", 0.2);
  Sound looped{}, once{};
  looped.Load(path.c_str(), true);
  once.Load(path.c_str(), false);
  EXPECT_EQ(SourceInt(looped, AL_LOOPING), AL_TRUE);
  EXPECT_EQ(SourceInt(once, AL_LOOPING), AL_FALSE);
  EXPECT_EQ(looped.sourceCopy, looped.source);
  EXPECT_EQ(looped.data, nullptr);  // handed back to the reader after the upload
  EXPECT_EQ(looped.frequency, 22050);
  EXPECT_EQ(looped.size, int32_t(0.2 * 22050) * 2);
  looped.Release();
  once.Release();
  EXPECT_EQ(looped.source, 0u);
}

TEST_F(SoundDevice, SourcesKeepFullGainUpTwelveUnits) {
  std::string path = Tone("zarnok-tone.wav", 0.1);
  Sound s{};
  s.Load(path.c_str(), false);
  EXPECT_FLOAT_EQ(SourceFloat(s, AL_REFERENCE_DISTANCE), 12.0f);
  EXPECT_FLOAT_EQ(SourceFloat(s, AL_ROLLOFF_FACTOR), 1.0f);
  EXPECT_FLOAT_EQ(SourceFloat(s, AL_PITCH), 1.0f);
  EXPECT_FLOAT_EQ(SourceFloat(s, AL_GAIN), 1.0f);
  s.SetGain(0.25f);
  EXPECT_FLOAT_EQ(SourceFloat(s, AL_GAIN), 0.25f);
  s.SetPositionVelocity(1, 2, 3, 4, 5, 6);
  ALfloat v[3];
  alGetSourcefv(s.source, AL_VELOCITY, v);
  EXPECT_FLOAT_EQ(v[2], 6.0f);
  s.Release();
}

TEST_F(SoundDevice, MissingFileGivesASilentSourceAndNoCrash) {
  Sound s{};
  s.Load("base/sound/no-such-sound.wav", true);
  EXPECT_NE(s.source, 0u);
  EXPECT_EQ(s.size, 0);
  s.Play();
  s.SetGain(0.5f);
  s.Stop();
  s.Release();
  s.Release();  // a second release is harmless
}

TEST_F(SoundDevice, StartupTableLoadsEverySoundInItsOrder) {
  LoadStartupSounds();
  EXPECT_EQ(alGetError(), AL_NO_ERROR);
  // Sources are made in table order: the engines, the suspension, the
  // skids, the wind and the ambience loop; everything else plays once.
  std::vector<const Sound*> order = {&gSndEngine0, &gSndEngine1, &gSndEngine2, &gSndOpponentEngine[0],
                                     &gSndOpponentEngine[1], &gSndOpponentEngine[2], &gSndCityEngine,
                                     &gSndCr0, &gSndCr1, &gSndSuspension};
  for (auto& bank : gSndCrash)
    for (const Sound& s : bank) order.push_back(&s);
  for (const Sound* s : {&gSndSt1, &gSndSt2[0], &gSndSt2[1], &gSndSt2[2], &gSndPoint, &gSndGear, &gSndNitro,
                         &gSndWind, &gSndSignal[0], &gSndSignal[1], &gSndSignal[2], &gSndAmbient, &gSndMenuClick,
                         &gSndMenuHover, &gSndMenuStep, &gSndMenuPurchase, &gSndMenuRefusal, &gSndMenuChange,
                         &gSndMenuSettled, &gSndMenuLoading, &gSndCountdownGo, &gSndCountdownBeep})
    order.push_back(s);
  ASSERT_EQ(order.size(), size_t(kStartupSoundCount));
  for (size_t i = 0; i < order.size(); ++i) {
    const Sound& s = *order[i];
    EXPECT_GT(s.size, 0) << s.name;
    EXPECT_NE(s.buffer, 0u) << s.name;
    if (i > 0) {
      EXPECT_LT(order[i - 1]->source, s.source) << s.name;
    }
    const std::string file = s.name;
    const bool loops = file.rfind("en", 0) == 0 || file == "suspension.wav" || file.rfind("st", 0) == 0 ||
                       file == "wind.wav" || file == "ambient.wav";
    EXPECT_EQ(SourceInt(s, AL_LOOPING), loops ? AL_TRUE : AL_FALSE) << s.name;
  }
  EXPECT_STREQ(gSndEngine0.name, "en0.wav");
  EXPECT_STREQ(gSndCrash[2][1].name, "crash2_1.wav");
  EXPECT_STREQ(gSndCountdownBeep.name, "menu10.wav");
  // Three opponent skids share a file but each has its own source and buffer.
  EXPECT_STREQ(gSndSt2[2].name, "st2.wav");
  EXPECT_NE(gSndSt2[0].source, gSndSt2[1].source);
  EXPECT_NE(gSndSt2[0].buffer, gSndSt2[2].buffer);
}

TEST_F(SoundDevice, PauseAndResumeActOnTheFourteenRaceSounds) {
  LoadStartupSounds();
  gSndEngine0.Play();
  gSndNitro.Play();
  PauseAllSounds();
  EXPECT_EQ(SourceInt(gSndEngine0, AL_SOURCE_STATE), AL_PAUSED);
  EXPECT_EQ(SourceInt(gSndWind, AL_SOURCE_STATE), AL_INITIAL);  // pausing a stopped sound does nothing
  EXPECT_EQ(SourceInt(gSndNitro, AL_SOURCE_STATE), AL_PLAYING);
  ResumeAllSounds();
  const Sound* group[] = {&gSndSt1, &gSndSt2[0], &gSndSt2[1], &gSndSt2[2], &gSndEngine0,
                          &gSndEngine1, &gSndEngine2, &gSndOpponentEngine[0], &gSndOpponentEngine[1],
                          &gSndOpponentEngine[2], &gSndSuspension, &gSndCityEngine, &gSndWind, &gSndAmbient};
  for (const Sound* s : group) EXPECT_EQ(SourceInt(*s, AL_SOURCE_STATE), AL_PLAYING) << s->name;
  EXPECT_EQ(SourceInt(gSndMenuClick, AL_SOURCE_STATE), AL_INITIAL);
}

TEST_F(SoundDevice, StopAllAlsoStopsTheNitro) {
  LoadStartupSounds();
  gSndNitro.Play();
  gSndWind.Play();
  StopAllSounds();
  EXPECT_EQ(SourceInt(gSndNitro, AL_SOURCE_STATE), AL_STOPPED);
  EXPECT_EQ(SourceInt(gSndWind, AL_SOURCE_STATE), AL_STOPPED);
}

TEST_F(SoundDevice, FocusPausesTheMusicAndAmbienceAndBringsTheAmbienceBackOnlyInARace) {
  gMusic.Load("base/music/menu.wav", true);
  gSndAmbient.Load("base/sound/ambient.wav", true);
  gMusicOn = 1;
  gSoundOn = 1;
  gTargetScreen = ScreenState::Splash;
  MainWindowProc({EventKind::Activate});
  EXPECT_EQ(SourceInt(gMusic, AL_SOURCE_STATE), AL_PLAYING);
  EXPECT_EQ(SourceInt(gSndAmbient, AL_SOURCE_STATE), AL_INITIAL);

  gTargetScreen = ScreenState::Racing;
  MainWindowProc({EventKind::Activate});
  EXPECT_EQ(SourceInt(gSndAmbient, AL_SOURCE_STATE), AL_PLAYING);
  MainWindowProc({EventKind::Deactivate});
  EXPECT_EQ(gAppActive, 0);
  EXPECT_EQ(SourceInt(gMusic, AL_SOURCE_STATE), AL_PAUSED);
  EXPECT_EQ(SourceInt(gSndAmbient, AL_SOURCE_STATE), AL_PAUSED);

  gMusicOn = 0;  // music switched off in the settings: focus leaves it alone
  MainWindowProc({EventKind::Activate});
  EXPECT_EQ(SourceInt(gMusic, AL_SOURCE_STATE), AL_PAUSED);
  EXPECT_EQ(gAppActive, 1);
  gTargetScreen = ScreenState::Splash;
}

TEST_F(SoundDevice, SoundModelAndListener) {
  SetSoundModel();
  EXPECT_EQ(alGetInteger(AL_DISTANCE_MODEL), AL_EXPONENT_DISTANCE_CLAMPED);
  EXPECT_FLOAT_EQ(alGetFloat(AL_SPEED_OF_SOUND), 343.0f);
  EXPECT_FLOAT_EQ(alGetFloat(AL_DOPPLER_FACTOR), 1.0f);
  SetListenerPosition(1, 2, 3);
  SetListenerOrientation(0, 0, -1, 0, 1, 0);
  ALfloat p[3];
  alGetListenerfv(AL_POSITION, p);
  EXPECT_FLOAT_EQ(p[1], 2.0f);
}

}  // namespace
