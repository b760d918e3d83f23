// The simulated kdLyra cameras behind the USB camera sources. Both menu items
// open device 0; unless the user chose the cameras (ONDULA_KDCAMERAS set
// when the program started), the camera an item names becomes device 0
// before its source opens: "kdLyra-A1G" for "A1C ou G (1280 x 1024)",
// "kdLyra-A2C" for "A2C ou G (640 x 480)", the other one device 1.
#pragma once

// Before source `source` (6 or 7) opens its camera.
void ListCameraOfSourceFirst(int source);
