// Controls of the planning pages that the window layer lacks: a picture control that shows a
// bitmap the plots draw on, a pair of spin arrows, and a tab strip.
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/runtime/Classes.h"
#include "platform/ui/Controls.h"

#include <QTabBar>
#include <QWidget>

class QToolButton;

class TRadioGroup;

// Tightens a radio group's margins so a row of buttons fits under its title on a crowded page.
void CompactRadioGroup(TRadioGroup* group);

// Shows the plots' messages in a message box (unless something else already takes them).
void InstallPlotMessages();

// A picture control. Its bitmap takes the control's size unless a fixed picture size is set
// (a hidden exhibit image); drawing on the bitmap is shown on the next repaint, Invalidate
// asks for one at once.
class TImage : public QWidget {
public:
    explicit TImage(QWidget* parent = nullptr);

    // The picture, at the control's size (or the fixed size) before it is handed out.
    TBitmap& Picture();
    TCanvas& Canvas() { return Picture().Canvas(); }
    void SetPictureSize(int width, int height);
    void Invalidate() { update(); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TBitmap bitmap_;
    QSize fixedSize_;  // invalid: the control's size
};

// Two arrow buttons, up above down. OnUpClick/OnDownClick fire on a click of an enabled
// control.
class TSpinButton : public QWidget {
public:
    explicit TSpinButton(QWidget* parent = nullptr);

    void UpClick();
    void DownClick();

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};

// A strip of tabs. The user's choice fires OnChange with the new index; setting TabIndex or
// the tabs from code fires nothing.
class TTabSet : public QTabBar {
public:
    explicit TTabSet(QWidget* parent = nullptr);

    TStringList Tabs() const;
    int TabCount() const { return count(); }
    void AddTab(const std::string& caption);
    void DeleteTab(int index);
    int TabIndex() const { return currentIndex(); }
    void SetTabIndex(int index);

    std::function<void(QObject* Sender, int NewTab)> OnChange;

private:
    bool fromCode_ = false;
};
