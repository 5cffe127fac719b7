#include "DemoScript.h"

#include "platform/input/InputMessages.h"
#include "platform/input/KeyTable.h"
#include "platform/ui/Forms.h"

#include <QDialog>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

using namespace InputMessages;

namespace {

TInputSender& User()
{
    static TInputSender sender;   // the window system's own pointer and keyboard
    return sender;
}

TJournalEvent Mouse(uint32_t message, QPoint g)
{
    return {message, static_cast<uint32_t>(g.x()), static_cast<uint32_t>(g.y()), 0};
}

// The virtual key and shift state that type one character on a US keyboard.
bool KeyOfChar(char c, uint8_t& vk, bool& shift)
{
    for (int v = 1; v < 256; ++v)
        for (bool s : {false, true}) {
            const TQtKey k = QtKeyOf(static_cast<uint8_t>(v), s ? Qt::ShiftModifier : Qt::NoModifier);
            if (!k.keypad && k.text.size() == 1 && k.text[0] == QChar(c)) {
                vk = static_cast<uint8_t>(v);
                shift = s;
                return true;
            }
        }
    return false;
}

bool Usable(const QWidget* w) { return w && w->isVisible() && w->isEnabled(); }

// A script that ends early leaves no modal window waiting for input that will never come.
void CloseModalWindows()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (auto* form = dynamic_cast<TForm*>(modal)) form->SetModalResult(mrCancel);
    else if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    else modal->close();
}

}  // namespace

void TInputScript::SendClick(QWidget* w, QPoint at)
{
    const QPoint local = at.x() < 0 ? w->rect().center() : at;
    const QPoint g = w->mapToGlobal(local);
    User().Send(Mouse(WM_MOUSEMOVE, g));
    User().Send(Mouse(WM_LBUTTONDOWN, g));
    User().Send(Mouse(WM_LBUTTONUP, g));
}

void TInputScript::SendKey(uint8_t vk, bool down) { User().Send({down ? WM_KEYDOWN : WM_KEYUP, vk, 1, 0}); }

void TInputScript::SendText(const std::string& text)
{
    for (char c : text) {
        uint8_t vk = 0;
        bool shift = false;
        if (!KeyOfChar(c, vk, shift)) continue;
        if (shift) SendKey(VK_SHIFT, true);
        SendKey(vk, true);
        SendKey(vk, false);
        if (shift) SendKey(VK_SHIFT, false);
    }
}

void TInputScript::Step(std::string what, std::function<bool()> step) { steps_.push_back({std::move(what), std::move(step)}); }

void TInputScript::Click(std::string what, TFind find, QPoint at)
{
    Step(std::move(what), [find = std::move(find), at] {
        QWidget* w = find();
        if (!Usable(w)) return false;
        SendClick(w, at);
        return true;
    });
}

void TInputScript::Type(std::string what, TFind find, const std::string& text)
{
    Click(what + " (click)", find);
    Step(what, [text] {
        SendKey(VK_CONTROL, true);
        SendKey('A', true);
        SendKey('A', false);
        SendKey(VK_CONTROL, false);
        SendText(text);
        return true;
    });
}

void TInputScript::Key(std::string what, uint8_t vk, bool shift, bool ctrl)
{
    Step(std::move(what), [vk, shift, ctrl] {
        if (ctrl) SendKey(VK_CONTROL, true);
        if (shift) SendKey(VK_SHIFT, true);
        SendKey(vk, true);
        SendKey(vk, false);
        if (shift) SendKey(VK_SHIFT, false);
        if (ctrl) SendKey(VK_CONTROL, false);
        return true;
    });
}

void TInputScript::Wait(int ticks)
{
    auto left = std::make_shared<int>(ticks);
    Step("wait", [left] { return --*left <= 0; });
}

bool TInputScript::Run(int patienceMs, int timeoutMs)
{
    failure_.clear();
    std::size_t next = 0;
    QElapsedTimer sinceStep, total;
    sinceStep.start();
    total.start();
    bool done = false;
    QTimer tick;
    // The timer runs inside the modal loops the steps open; the script ends once every step
    // has run and the loops it opened have closed.
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (done) {
            CloseModalWindows();
            return;
        }
        if (next >= steps_.size()) {
            done = true;
            return;
        }
        if (steps_[next].step()) {
            if (qEnvironmentVariableIsSet("MW_SCRIPT_TRACE")) std::fprintf(stderr, "step: %s\n", steps_[next].what.c_str());
            ++next;
            sinceStep.restart();
        } else if (sinceStep.elapsed() > patienceMs) {
            failure_ = "nothing to act on for: " + steps_[next].what;
            done = true;
        }
        if (total.elapsed() > timeoutMs) {
            failure_ = "the script took too long, at: " + (next < steps_.size() ? steps_[next].what : "the end");
            done = true;
        }
    });
    tick.start(tickMs_);
    while (!done || QApplication::activeModalWidget()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    tick.stop();
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
    return failure_.empty();
}
