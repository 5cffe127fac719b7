// The pictures picture_gen makes: each drawn on a bitmap and saved to a file of the source tree.
#pragma once

#include "platform/graphics/Graphics.h"

#include <functional>
#include <string>
#include <vector>

struct PictureSpec {
    std::string name;  // what the command line asks for
    std::string file;  // relative to the source root
    int width;
    int height;
    std::function<void(TCanvas&, int width, int height)> draw;
};

// Every picture, in the order they are written.
const std::vector<PictureSpec>& AllPictures();
