// The numbered textures of gTextures (base/textures/texNN.tga), each named
// once by what it is drawn for. A number that serves two draws keeps one
// name and says the second use here. Nothing draws the numbers left out
// (the generator writes most of them as plain plates).
#pragma once

inline constexpr int kTextureCount = 71;  // tex00 .. tex70

// Loaded by the GL set-up at start-up: the glyph sheets and the menus'
// first pictures, all that the splash and the loading page draw.
inline constexpr int kFont2SheetTexture = 0;
inline constexpr int kTitlePictureTexture = 1;  // the splash, over the whole frame
inline constexpr int kEmblemTexture = 3;        // the tyre behind the pages
inline constexpr int kMenuSignsTexture = 4;     // LOADING ring and hub, option arrows
inline constexpr int kSidePanelTexture = 5;     // the only clamped one of these
inline constexpr int kCornerIconTexture = 6;
inline constexpr int kLogoTexture = 7;
inline constexpr int kFont1SheetTexture = 8;  // also the waypoint spheres' texture

// The texture list: the worker loads these from here up to the last.
inline constexpr int kFirstListedTexture = 9;
inline constexpr int kTailLampFlareTexture = 9;
inline constexpr int kCompetitionBoardTexture = 10;
inline constexpr int kTruckMarkersTexture = 12;  // the minimap's, 2 x 2 cells
inline constexpr int kBandsAndFrameTexture = 13;
inline constexpr int kPropNormalMapTexture = 14;  // also unit 2 of the garage's lit programs
inline constexpr int kMiniMapDiscTexture = 15;
inline constexpr int kProfileCardTexture = 16;
inline constexpr int kDrumBackPlateTexture = 17;
inline constexpr int kDrumRowPlateTexture = 18;
inline constexpr int kIconStripTexture = 19;  // eight menu icons
inline constexpr int kPropColourTexture = 21;
inline constexpr int kButtonPlateTexture = 22;
inline constexpr int kRaceBoardTexture = 23;   // also the parts' 2 x 4 icon atlas
inline constexpr int kButtonIconsTexture = 24;  // five icons, the cup among them
inline constexpr int kPlaceStampsTexture = 26;
inline constexpr int kRouteDotTexture = 27;
inline constexpr int kPointerTexture = 29;
inline constexpr int kGlowTexture = 30;  // the sun and its glare, head-lamp and brake flares
inline constexpr int kTurboNeedleTexture = 32;
inline constexpr int kOptionBarTexture = 34;
inline constexpr int kCursorBarTexture = 35;
inline constexpr int kGaugeFaceTexture = 36;
inline constexpr int kEngineNeedleTexture = 38;
inline constexpr int kHintBadgeTexture = 40;  // also the checkpoint beacon
inline constexpr int kLampTilesTexture = 41;  // the bonus icons and the HUD's turbo lamp
inline constexpr int kMarkerShineTexture = 42;
inline constexpr int kGaugeBackTexture = 43;
inline constexpr int kBlobShadowTexture = 44;  // also the checkpoint signs
inline constexpr int kTyreTrackTexture = 45;
inline constexpr int kTyreTrackNormalMapTexture = 46;
inline constexpr int kTurboRingTexture = 49;
inline constexpr int kBarrierTapeTexture = 51;
inline constexpr int kSmokeTexture = 52;
inline constexpr int kGlowSquareTexture = 53;
inline constexpr int kDustTexture = 54;
inline constexpr int kFireTexture = 55;
inline constexpr int kCompetitionIconsTexture = 59;
inline constexpr int kSkyBoxTexture = 61;
inline constexpr int kGrassAtlasTexture = 62;
inline constexpr int kSkyRingTexture = 63;
inline constexpr int kWaterVolumeTexture = 65;  // the water's 3-D texture, one slice after another
inline constexpr int kTreeAtlasTexture = 66;
inline constexpr int kGrassTintTexture = 70;
