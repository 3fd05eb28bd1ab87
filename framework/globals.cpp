#include "framework/globals.h"

HandOver<uint8_t> gQuit;
HandOver<uint8_t> gQuitRequested;
HandOver<int32_t> gScreen;
HandOver<int32_t> gTargetScreen;
HandOver<int32_t> gLoaderStatus;
HandOver<uint8_t> gSimBit;
HandOver<uint8_t> gRenderBit;
HandOver<float> gSplashTime{kSplashStartSeconds};
HandOver<uint8_t> gPlayerFinished;

uint8_t gAppActive = 1;
uint8_t gFullScreen = 1;
float gScreenFade;
uint8_t gKeyLatch;
uint8_t gDebugText;
uint8_t gWaitingForKey;
int32_t gSelectedRow;
int32_t gPendingKeyBindings[kKeyBindingCount];

float gFrameSeconds;
float gFps;
float gFrameFactor;
float gPhysicsFrameTime;
float gFlarePulsePhase;
float gFlarePulse;
float gMenuClock;

int32_t gBlurWidth = kBlurWidth, gBlurHeight = kBlurHeight;
int32_t gRouteMapWidth = kRouteMapSide, gRouteMapHeight = kRouteMapSide;
int32_t gShadowMapSize = kShadowMapSizeOff;
int32_t gCityCarCount;

HandOver<uint8_t> gKeys[kKeyCount];
uint8_t gCharTyped;
uint16_t gTypedChars[kTypedCharRoom];
uint8_t gMouseMoved;
CursorPosition gCursorPos;
uint8_t gLeftButton, gRightButton;
uint8_t gFreeCamera;
int32_t gDragStartX, gDragStartY, gDragLastX, gDragLastY;
int32_t gMouseX, gMouseY;
