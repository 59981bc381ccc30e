// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Element ids of the dashboard. Every id the program looks up must name an
// element the dashboard builds: a lookup that fails ends the program.

namespace wp2::DashboardId {

inline constexpr int MapButton = 11;     // "TBtn1": map mode on and off
inline constexpr int MarkButton = 12;    // "TBtn2": new pushpin here / zoom in
inline constexpr int TargetButton = 13;  // "TBtn3": choose the target / zoom out
inline constexpr int MenuButton = 14;    // "TBtn4": Options menu / track options
inline constexpr int LowPanel = 19;
inline constexpr int QuitButton = 20;
inline constexpr int CompassLeft = 21;
inline constexpr int CompassRight = 22;
inline constexpr int OptionsMenu = 23;
inline constexpr int DestinationLeft = 24;
inline constexpr int DestinationRight = 25;
inline constexpr int SkyViewLeft = 26;
inline constexpr int SkyViewRight = 27;
inline constexpr int TrackPanel = 28;
inline constexpr int SpeedDial = 29;
inline constexpr int CourseDial = 30;
inline constexpr int PositionLeft = 31;
inline constexpr int PositionRight = 32;
inline constexpr int BearingReadout = 33;
inline constexpr int AltitudeReadout = 34;
inline constexpr int SpeedReadout = 35;
inline constexpr int AccuracyReadout = 36;
inline constexpr int HeadingReadout = 37;
inline constexpr int PdopReadout = 38;
inline constexpr int SatellitesReadout = 39;
inline constexpr int BatteryReadout = 40;
inline constexpr int CrossTrackReadout = 41;
inline constexpr int TripReadout = 51;
inline constexpr int OdometerReadout = 52;
inline constexpr int AverageSpeedReadout = 53;
inline constexpr int MaxSpeedReadout = 54;
inline constexpr int MovingTimeReadout = 55;
inline constexpr int ArrivalReadout = 56;
inline constexpr int MenuRight = 101;
inline constexpr int MenuLeft = 102;
inline constexpr int ValueMenuLeft = 103;
inline constexpr int ValueMenuRight = 104;
inline constexpr int MenuTop = 105;
inline constexpr int TrackView = 201;
inline constexpr int TrackCompass = 202;
inline constexpr int CompassNeedleLeft = 500;
inline constexpr int CompassNeedleRight = 600;

}  // namespace wp2::DashboardId
