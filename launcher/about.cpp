#include "launcher/about.h"

#include "launcher/Pictures.h"
#include "launcher/URLLabel.h"
#include "platform/graphics/Graphics.h"
#include "ui_about.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

TfrmAbout* frmAbout = nullptr;

namespace {

char LetterOf(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<char>('A' + (key - Qt::Key_A));
    if (key >= 0x20 && key < 0x7F) return static_cast<char>(key);
    return '\0';
}

bool IsModifierKey(int key)
{
    return key == Qt::Key_Alt || key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

}  // namespace

TfrmAbout::TfrmAbout(QWidget* owner) : TForm(owner), ui(std::make_unique<Ui::TfrmAbout>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(278, 169);
    ui->pnlEaster->SetColor(13162455);
    ui->URLLabel1->SetURL(kBelvorURL);
    ui->URLLabel1->SetColorNormal(clNavy);
    QPalette p = ui->URLLabel1->palette();
    p.setColor(QPalette::WindowText, ToQColor(clNavy));
    ui->URLLabel1->setPalette(p);
    ui->Image2->setPixmap(LogoPicture());
    ui->BitBtn1->OnClick = [this](QObject*) { BitBtn1Click(); };
    WatchKeys(this);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

TfrmAbout::~TfrmAbout() = default;

void TfrmAbout::WatchKeys(QObject* o)
{
    // Key preview: the form sees every key before its controls do.
    o->installEventFilter(this);
    for (QObject* child : o->children())
        if (child->isWidgetType()) WatchKeys(child);
}

void TfrmAbout::FormCreate()
{
    ui->Image1->setPixmap(MainIconPicture());
    setWindowIcon(QIcon(MainIconPicture()));
}

void TfrmAbout::BitBtn1Click()
{
    ui->pnlEaster->hide();
    if (Modal()) SetModalResult(mrOk);
    else Close();
}

void TfrmAbout::FormKeyUp(int key, Qt::KeyboardModifiers shift)
{
    if (!(shift & Qt::AltModifier) || IsModifierKey(key)) return;
    const char letter = LetterOf(key);
    if (letter == '\0') {
        typed_.clear();
        return;
    }
    const std::string next = typed_ + letter;
    typed_ = Pos(next, kCode) > 0 ? next : std::string(1, letter);
    if (typed_ == kCode) {
        typed_.clear();
        ui->pnlEaster->show();
        ui->pnlEaster->raise();
    }
}

bool TfrmAbout::ContinuesCode(int key) const
{
    const char letter = LetterOf(key);
    return !typed_.empty() && letter != '\0' && Pos(typed_ + letter, kCode) > 0;
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Alt+O in the middle of the code is a letter of the code, not the "&OK" button's access key.
        auto* k = static_cast<QKeyEvent*>(event);
        if ((k->modifiers() & Qt::AltModifier) && ContinuesCode(k->key())) {
            event->accept();
            return true;
        }
    } else if (event->type() == QEvent::KeyRelease) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (!k->isAutoRepeat() && watched->isWidgetType() && static_cast<QWidget*>(watched)->hasFocus()) {
            Guarded([&] { FormKeyUp(k->key(), k->modifiers()); });
        } else if (!k->isAutoRepeat() && watched == this && !focusWidget()) {
            Guarded([&] { FormKeyUp(k->key(), k->modifiers()); });
        }
    }
    return TForm::eventFilter(watched, event);
}
