// The target list of the global settings: operator panels with their page
// sizes, and common screens whose page is 40 pixels narrower and 175 pixels
// lower than the screen (the browser's frame, bars and title).

#include "project/FormGlobalSettings.h"

const TTargetPreset kTargetPresets[12] = {
    {"", 0, 0, false},
    {"Pavo-A", 640, 480, true},
    {"Pavo-B", 480, 272, true},
    {"Pavo-C (landscape)", 800, 600, true},
    {"Pavo-C (portrait)", 600, 800, true},
    {"240x320", 200, 145, false},
    {"320x240", 280, 65, false},
    {"480x640", 440, 465, false},
    {"640x480", 600, 305, false},
    {"800x600", 760, 425, false},
    {"1024x768", 984, 593, false},
    {"1280x1024", 1240, 849, false},
};
