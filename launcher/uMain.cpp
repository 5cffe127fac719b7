#include "launcher/uMain.h"

#include "launcher/Pictures.h"
#include "launcher/URLLabel.h"
#include "launcher/about.h"
#include "platform/services/ConfigPaths.h"
#include "platform/services/IniFiles.h"
#include "platform/services/Shell.h"
#include "platform/ui/Dialogs.h"
#include "ui_uMain.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QScreen>

TfrmMainForm* frmMainForm = nullptr;

namespace {

constexpr const char* kSettings = "Tasklander.ini";
constexpr const char* kSection = "ViewStyle";
constexpr const char* kDesktop = "Tasklander Desktop";

}  // namespace

TfrmMainForm::TfrmMainForm(QWidget* owner, const std::string& exeDir)
    : TForm(owner), ExeDir(exeDir), ui(std::make_unique<Ui::TfrmMainForm>())
{
    ui->setupUi(this);
    ui->New1->menuAction()->setVisible(false);
    auto* views = new QActionGroup(this);
    for (QAction* a : {ui->Icon1, ui->List1, ui->Details1}) views->addAction(a);

    StatusPanel = new QLabel(ui->StatusBar1);
    ui->StatusBar1->addWidget(StatusPanel, 1);
    // One whole line of the panel's text, whatever the window's size.
    ui->StatusBar1->setMinimumHeight(StatusPanel->sizeHint().height() + 4);
    ui->lvwTools->SetColumns({{"Name", 100}, {"Desciption", 350}, {"Created", 85}});
    ui->lvwTools->SetDragEnabled(true);
    ui->Splitter1->setSizes({188, 531});
    ui->Splitter1->setStretchFactor(1, 1);
    ImgGroupList.Add(DesktopIcon());
    ImgGroupList.Add(GroupIcon());
    ui->Image1->setPixmap(GripPicture());
    ui->ImgPanelHdr->setPixmap(MainIconPicture());
    ui->imgTaskLander->setPixmap(WelcomePicture());
    ui->sbBelvorCom->setIcon(QIcon(WebPicture()));
    ui->sbBelvorCom->SetHint("Click here to download the latest version of Tasklander\r\n"
                             "from the Belvor Corporation web site");
    setWindowIcon(QIcon(MainIconPicture()));

    // Events, bound as the window layout names them.
    connect(ui->Close1, &QAction::triggered, this, [this] { Guarded([&] { Close1Click(); }); });
    connect(ui->Icon1, &QAction::triggered, this, [this] { Guarded([&] { Icon1Click(); }); });
    connect(ui->List1, &QAction::triggered, this, [this] { Guarded([&] { List1Click(); }); });
    connect(ui->Details1, &QAction::triggered, this, [this] { Guarded([&] { Details1Click(); }); });
    connect(ui->About1, &QAction::triggered, this, [this] { Guarded([&] { About1Click(); }); });
    ui->tvwGroups->OnChange = [this](QObject*, QTreeWidgetItem* node) { tvwGroupsChange(node); };
    ui->tvwGroups->OnDragOver = [this](QObject*, QObject*, const QMimeData* d, const QPoint& p, bool& accept) {
        tvwGroupsDragOver(d, p, accept);
    };
    ui->tvwGroups->OnDragDrop = [this](QObject*, QObject*, const QMimeData* d, const QPoint& p) {
        tvwGroupsDragDrop(d, p);
    };
    ui->lvwTools->OnClick = [this](QObject*) { lvwToolsClick(); };
    ui->lvwTools->OnChange = [this](QObject*) { lvwToolsChange(); };
    ui->lvwTools->OnDblClick = [this](QObject*) { lvwToolsDblClick(); };
    ui->lvwTools->OnKeyDown = [this](QObject*, int& key) { lvwToolsKeyDown(key); };
    ui->Splitter1->OnPaint = [this](QObject*, QPainter& p, const QRect& r) { Splitter1Paint(p, r); };
    ui->sbBelvorCom->OnClick = [this](QObject*) { sbBelvorComClick(); };

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
    ui->tvwGroups->setFocus();
}

TfrmMainForm::~TfrmMainForm() { FormDestroy(); }

void TfrmMainForm::FormCreate()
{
    if (ExeDir.empty()) ExeDir = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    ExeDir = IncludeTrailingPathDelimiter(ExeDir);
    ToolList = std::make_unique<TToolList>();
    try {
        ToolList->LoadTools();
    } catch (...) {
        // A damaged registry: say so once; the catalogue stays empty and nothing is written,
        // and the group the user had chosen is still remembered once the file is mended.
        CatalogueRead = false;
        Application->HandleException(std::current_exception(), this);
    }
    FillGroupTree();
    LoadSettings();
}

void TfrmMainForm::FormDestroy() noexcept
{
    // Saving must never raise out of the window's destruction; each part goes on its own.
    if (ToolList) {
        try {
            SaveSettings();
        } catch (...) {
            Application->HandleException(std::current_exception(), this);
        }
    }
    ToolList.reset();
}

std::string TfrmMainForm::SettingsFileName() const
{
    const std::string beside = ExeDir + kSettings;
    if (TIniFile::CanWrite(beside)) return beside;
    return UserConfigFolder() + "/belvor/" + kSettings;
}

std::string TfrmMainForm::ReadSettingsFileName() const
{
    const std::string written = SettingsFileName();
    if (FileExists(written)) return written;
    return ExeDir + kSettings;  // an installer's defaults beside the program
}

void TfrmMainForm::Close1Click() { Close(); }

void TfrmMainForm::FillGroupTree()
{
    TTreeView* tree = ui->tvwGroups;
    tree->clear();
    auto* root = new QTreeWidgetItem(tree, QStringList{"Tasklander"});
    root->setIcon(0, ImgGroupList.Icon(0));
    for (int i = 0; i < ToolList->Groups.Count(); ++i) {
        auto* node = new QTreeWidgetItem(root, QStringList{ToQt(ToolList->Groups[i])});
        node->setIcon(0, ImgGroupList.Icon(1));
    }
    tree->expandAll();
    // No node is chosen until the settings or the user choose one (focus would pick the first).
    tree->setCurrentItem(nullptr);
}

void TfrmMainForm::tvwGroupsChange(QTreeWidgetItem* node)
{
    const int level = TTreeView::Level(node);
    ShowGroup(level == 0 ? kDesktop : ToStd(node->text(0)), level);
}

void TfrmMainForm::ShowGroup(const std::string& name, int level)
{
    StatusPanel->setText(ToQt(name));
    ui->lblPanelHdr->SetCaption(name);
    ui->nbPanel->setCurrentIndex(std::min(level, 1));
    if (level > 0) ToolList->FillListView(*ui->lvwTools, name);
}

void TfrmMainForm::lvwToolsClick()
{
    const TListItem* item = ui->lvwTools->Selected();
    if (!item) return;
    StatusPanel->setText(ToQt(static_cast<const TToolItem*>(item->Data)->Description));
}

void TfrmMainForm::lvwToolsChange() { lvwToolsClick(); }

void TfrmMainForm::lvwToolsDblClick()
{
    const TListItem* item = ui->lvwTools->Selected();
    if (!item) return;
    // The user asked for this tool: a start that fails says so and why.
    const auto* tool = static_cast<const TToolItem*>(item->Data);
    std::string why;
    if (!tool->Execute(&why))
        MessageDlg(tool->MenuCaption + " could not be started.\n" + why, TMsgDlgType::mtError, mbOK);
}

void TfrmMainForm::lvwToolsKeyDown(int& key)
{
    if (key == 13) lvwToolsDblClick();
}

void TfrmMainForm::ChooseView(QAction* item, TViewStyle style)
{
    item->setChecked(true);
    ui->lvwTools->SetViewStyle(style);
    ViewStyleCaption = ToStd(item->text());
}

void TfrmMainForm::Icon1Click() { ChooseView(ui->Icon1, TViewStyle::vsIcon); }
void TfrmMainForm::List1Click() { ChooseView(ui->List1, TViewStyle::vsList); }
void TfrmMainForm::Details1Click() { ChooseView(ui->Details1, TViewStyle::vsReport); }

void TfrmMainForm::tvwGroupsDragOver(const QMimeData* data, const QPoint& p, bool& accept)
{
    const QTreeWidgetItem* node = ui->tvwGroups->GetNodeAt(p);
    accept = data && data->hasFormat(TListView::kDragFormat) && node && node->childCount() == 0;
}

void TfrmMainForm::tvwGroupsDragDrop(const QMimeData*, const QPoint& p)
{
    const QTreeWidgetItem* node = ui->tvwGroups->GetNodeAt(p);
    const TListItem* item = ui->lvwTools->Selected();
    if (!node || !item) return;
    auto* tool = static_cast<TToolItem*>(item->Data);
    const std::string group = ToStd(node->text(0));
    if (ToolInGroup(*tool, group)) return;
    if (MessageDlg("Are you sure you want to copy " + tool->MenuCaption + " to " + group + "? ",
                   TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    tool->AddtlGroups = tool->AddtlGroups.empty() ? group : tool->AddtlGroups + "," + group;
    tool->Modified = true;
}

void TfrmMainForm::Splitter1Paint(QPainter& painter, const QRect& rect)
{
    const QPixmap grip = ui->Image1->pixmap();
    const int mid = rect.height() / 2, half = grip.height() / 2;
    painter.drawPixmap(QRect(QPoint(0, mid - half), QPoint(6, mid + half)), grip);
}

void TfrmMainForm::sbBelvorComClick() { OpenAddress(kBelvorURL); }

void TfrmMainForm::About1Click()
{
    if (frmAbout) frmAbout->ShowModal();
}

void TfrmMainForm::LoadSettings()
{
    const TIniFile ini(ReadSettingsFileName());
    const std::string group = ini.ReadString(kSection, "Group", kDesktop);
    (void)ini.ReadInteger(kSection, "Page", 0);
    const std::string view = ini.ReadString(kSection, "ViewStyle", "Icon");
    if (view == "&Icon") Icon1Click();
    else if (view == "&List") List1Click();
    else Details1Click();

    for (QTreeWidgetItemIterator it(ui->tvwGroups); *it; ++it) {
        if (ToStd((*it)->text(0)) == group) {
            ui->tvwGroups->setCurrentItem(*it);
            ui->tvwGroups->setFocus();
            break;
        }
    }
}

void TfrmMainForm::SaveSettings()
{
    // The registry first: the user's group copies matter more than the view.
    try {
        ToolList->SaveGroups();
    } catch (...) {
        Application->HandleException(std::current_exception(), this);
    }
    TIniFile ini(SettingsFileName());
    if (CatalogueRead) ini.WriteString(kSection, "Group", ui->lblPanelHdr->Caption());
    ini.WriteInteger(kSection, "Page", ui->nbPanel->currentIndex());
    ini.WriteString(kSection, "ViewStyle", ViewStyleCaption);
}
