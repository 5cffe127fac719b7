// Scaled page drawing.
#include "UserCanvas.h"

#include "platform/runtime/NumText.h"

double XScale = 1.0;
double YScale = 1.0;

void SetUserScale(int32_t deviceWidth, int32_t deviceHeight, int32_t logicalWidth, int32_t logicalHeight)
{
    if (logicalWidth != 0) XScale = double(deviceWidth) / logicalWidth;
    if (logicalHeight != 0) YScale = double(deviceHeight) / logicalHeight;
}

int UserX(int x) { return static_cast<int>(Round(XScale * x)); }
int UserY(int y) { return static_cast<int>(Round(YScale * y)); }
int UserPenWidth(int32_t w) { return static_cast<int>(Round(YScale * w)); }

void UserMoveTo(TCanvas& canvas, int x, int y) { canvas.MoveTo(UserX(x), UserY(y)); }
void UserLineTo(TCanvas& canvas, int x, int y) { canvas.LineTo(UserX(x), UserY(y)); }

void UserRectangle(TCanvas& canvas, int x1, int y1, int x2, int y2)
{
    canvas.Rectangle(UserX(x1), UserY(y1), UserX(x2), UserY(y2));
}

void UserEllipse(TCanvas& canvas, int x1, int y1, int x2, int y2)
{
    canvas.Ellipse(UserX(x1), UserY(y1), UserX(x2), UserY(y2));
}

void UserTextOut(TCanvas& canvas, int x, int y, int vertical, int horizontal, const std::string& text)
{
    int dx = UserX(x);
    int dy = UserY(y);
    if (vertical == 1) dy -= canvas.TextHeight(text) / 2;
    else if (vertical == 2) dy -= canvas.TextHeight(text);
    if (horizontal == 1) dx -= canvas.TextWidth(text) / 2;
    else if (horizontal == 2) dx -= canvas.TextWidth(text);
    canvas.TextOut(dx, dy, text);
}

void UserValueBox(TCanvas& canvas, int x, int y, int decimals, double value)
{
    UserTextBox(canvas, x, y, FloatToStrF(value, TFloatFormat::ffFixed, 15, decimals));
}

void UserTextBox(TCanvas& canvas, int x, int y, const std::string& text)
{
    canvas.Pen.Width = UserPenWidth(3);
    UserMoveTo(canvas, x, y + 13);
    UserLineTo(canvas, x, y - 12);
    UserLineTo(canvas, x + 65, y - 12);
    canvas.Pen.Width = UserPenWidth(2);
    UserLineTo(canvas, x + 65, y + 13);
    UserLineTo(canvas, x, y + 13);
    UserTextOut(canvas, x + 62, y, 1, 2, text);
}
