// The pictures picture_gen makes: each drawn on bitmaps and saved to a GIF file of the source
// tree. A picture of one frame is a still; more frames make an animation (or a slide set).
#pragma once

#include "platform/graphics/Graphics.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct FrameDef {
    int width;
    int height;
    std::function<void(TCanvas&, int width, int height)> draw;
};

struct PictureDef {
    std::string name;  // what the command line asks for
    std::string file;  // relative to the source root
    std::vector<FrameDef> frames;
    int delay = 0;         // milliseconds per frame of an animation
    uint8_t disposal = 0;  // what a viewer does with a frame before the next (GIF disposal)
};

// Every picture, in the order they are written.
const std::vector<PictureDef>& AllPictures();
// The planner's pictures (planner/resources/pictures).
std::vector<PictureDef> PlannerPictures();
