// The planner's pictures, compiled into the program from planner/resources/pictures (the GIF
// files that tools/picture_gen draws), decoded by the GIF picture class (gif/GIFImg.h), which
// loading registers in the picture registry for "GIF".
#pragma once

#include "platform/graphics/Graphics.h"

#include <QImage>

#include <memory>
#include <string>
#include <vector>

// The bytes of a picture's GIF file by name, without its extension; empty when there is none.
std::vector<uint8_t> PlannerPictureBytes(const std::string& name);

// A still by name, without its extension ("REDBELVOR", "TLINE_H", "Presenter"); null when the
// program holds no such picture or it cannot be read.
std::unique_ptr<TBitmap> LoadPlannerPicture(const std::string& name);

// The frames of an animated picture as a viewer shows them, each the size of the picture's
// screen (a frame smaller than that sits at the top left); empty when there is none.
std::vector<QImage> LoadPlannerAnimation(const std::string& name);
