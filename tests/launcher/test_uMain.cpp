// The launcher's main window offscreen: a registry with three tools in two groups (one
// without its executable, one without an icon of its own), the tree, the list in each view
// style, a drag onto another group, starting a tool, and what is written at the end.
#include "LauncherFixture.h"
#include "launcher/about.h"
#include "launcher/uMain.h"
#include "platform/services/Shell.h"
#include "platform/ui/ScriptedUi.h"
#include "support/UserInput.h"
#include "ui_about.h"
#include "ui_uMain.h"
#include "support/WaitFor.h"

#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMimeData>
#include <QThread>

#include <functional>
#include <sys/stat.h>
#include <QTreeWidgetItemIterator>

namespace {

class MainWindow : public LauncherFixture {
protected:
    TScriptedUiServices ui;
    std::unique_ptr<TUiServicesScope> scope;
    std::string exeDir = root + "/bin";
    std::string planner, linker;
    QByteArray savedXdg = qgetenv("XDG_CONFIG_HOME");

    void SetUp() override
    {
        LauncherFixture::SetUp();
        ui.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
        scope = std::make_unique<TUiServicesScope>(ui);
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(root + "/config"));
        QDir().mkpath(QString::fromStdString(exeDir));
        planner = MakeTool("planner", "planner.sh", true);
        linker = MakeTool("linker", "linker.sh", false);
        WriteText(registry, RegistryText());
    }
    void TearDown() override
    {
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " expected boxes were not shown";
        if (savedXdg.isNull()) qunsetenv("XDG_CONFIG_HOME");
        else qputenv("XDG_CONFIG_HOME", savedXdg);
    }
    std::string RegistryText() const
    {
        return "[Software\\Belvor\\Planner]\nPath=" + planner +
               "\nExeName=planner.sh\nParameters=--site 'Mt Wilson' -v\nDescription=Plans the station\n"
               "MenuCaption=Planner\nGroup=broadcast\n\n"
               "[Software\\Belvor\\Linker]\nPath=" + linker +
               "\nExeName=linker.sh\nDescription=Link budgets\nMenuCaption=Link budget\nGroup=BROADCAST, microwave\n\n"
               "[Software\\Belvor\\Ghost]\nPath=" + root + "/ghost\nExeName=ghost.sh\nMenuCaption=Ghost\nGroup=Earth Station\n";
    }
    std::unique_ptr<TfrmMainForm> Start(const std::string& dir)
    {
        qputenv("MW_REGISTRY_FILE", QByteArray::fromStdString(registry));
        auto f = std::make_unique<TfrmMainForm>(nullptr, dir);
        qunsetenv("MW_REGISTRY_FILE");
        f->show();
        QCoreApplication::processEvents();
        return f;
    }
    static QTreeWidgetItem* Node(TfrmMainForm& f, const std::string& text)
    {
        for (QTreeWidgetItemIterator it(f.ui->tvwGroups); *it; ++it)
            if ((*it)->text(0).toStdString() == text) return *it;
        return nullptr;
    }
    static std::string Captions(TfrmMainForm& f)
    {
        std::string out;
        for (int i = 0; i < f.ui->lvwTools->Count(); ++i) out += (i ? "|" : "") + f.ui->lvwTools->Item(i).Caption;
        return out;
    }
    static int Row(TfrmMainForm& f, const std::string& caption)
    {
        for (int i = 0; i < f.ui->lvwTools->Count(); ++i)
            if (f.ui->lvwTools->Item(i).Caption == caption) return i;
        return -1;
    }
    // Drags the selected tool over a node, and drops it there when asked; true when accepted.
    static bool DragTo(TfrmMainForm& f, const std::string& nodeText, bool drop)
    {
        QTreeWidgetItem* node = Node(f, nodeText);
        if (!node) return false;
        const QPoint at = f.ui->tvwGroups->visualItemRect(node).center();
        std::unique_ptr<QMimeData> data(f.ui->lvwTools->DragData());
        QWidget* vp = f.ui->tvwGroups->viewport();
        QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(vp, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(vp, &move);
        if (!move.isAccepted() || !drop) return move.isAccepted();
        QDropEvent dropEvent(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(vp, &dropEvent);
        return dropEvent.isAccepted();
    }
};

}  // namespace

TEST_F(MainWindow, ShowsGroupsAndToolsCopiesByDragStartsToolsAndRemembersTheView)
{
    auto f = Start(exeDir);
    auto& u = *f->ui;
    // The tree: the root and the groups of the tools that exist, sorted.
    ASSERT_EQ(u.tvwGroups->topLevelItemCount(), 1);
    QTreeWidgetItem* root = u.tvwGroups->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Tasklander");
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), "Broadcast");
    EXPECT_EQ(root->child(1)->text(0), "Microwave");
    EXPECT_TRUE(root->isExpanded());
    // A first start: Details view, nothing selected, the design-time header and page.
    EXPECT_EQ(u.tvwGroups->currentItem(), nullptr);
    EXPECT_TRUE(u.Details1->isChecked());
    EXPECT_EQ(u.lvwTools->ViewStyle(), TViewStyle::vsReport);
    EXPECT_EQ(u.lblPanelHdr->Caption(), " Tasklander Desktop");
    EXPECT_EQ(u.nbPanel->currentIndex(), 1);

    u.tvwGroups->setCurrentItem(Node(*f, "Broadcast"));
    EXPECT_EQ(u.lblPanelHdr->Caption(), "Broadcast");
    EXPECT_EQ(f->StatusPanel->text(), "Broadcast");
    EXPECT_EQ(Captions(*f), "Link budget|Planner");

    struct View { QAction* item; TViewStyle style; const char* caption; bool report; };
    const View views[] = {{u.Icon1, TViewStyle::vsIcon, "&Icon", false},
                          {u.List1, TViewStyle::vsList, "&List", false},
                          {u.Details1, TViewStyle::vsReport, "&Details", true}};
    for (const auto& v : views) {
        SCOPED_TRACE(v.caption);
        v.item->trigger();
        QCoreApplication::processEvents();
        EXPECT_TRUE(v.item->isChecked());
        EXPECT_EQ(u.lvwTools->ViewStyle(), v.style);
        EXPECT_EQ(f->ViewStyleCaption, v.caption);
        QAbstractItemView* view = u.lvwTools->CurrentView();
        ASSERT_TRUE(view->isVisible());
        ASSERT_EQ(view->model()->rowCount(), 2);
        for (int row = 0; row < 2; ++row) {
            const QModelIndex i = view->model()->index(row, 0);
            EXPECT_FALSE(view->visualRect(i).isEmpty());
            EXPECT_FALSE(i.data(Qt::DecorationRole).value<QIcon>().isNull());
        }
        EXPECT_EQ(view->model()->index(0, 1).data().toString(), "Link budgets");
        if (v.report) {
            EXPECT_EQ(view->model()->headerData(0, Qt::Horizontal).toString(), "Name");
            EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal).toString(), "Desciption");
            EXPECT_EQ(view->model()->headerData(2, Qt::Horizontal).toString(), "Created");
        }
    }
    const QIcon own = u.lvwTools->CurrentView()->model()->index(Row(*f, "Planner"), 0).data(Qt::DecorationRole).value<QIcon>();
    EXPECT_EQ(own.pixmap(32).toImage().pixelColor(16, 16), QColor(255, 0, 0));

    u.tvwGroups->setCurrentItem(Node(*f, "Microwave"));
    EXPECT_EQ(Captions(*f), "Link budget");
    u.tvwGroups->setCurrentItem(Node(*f, "Broadcast"));

    // Drag the planner onto Microwave: only childless nodes take it, and the user confirms.
    u.lvwTools->SetSelectedIndex(Row(*f, "Planner"));
    EXPECT_EQ(f->StatusPanel->text(), "Plans the station");
    EXPECT_FALSE(DragTo(*f, "Tasklander", false));
    ui.ExpectMessage(mrYes, "Are you sure you want to copy Planner to Microwave? ");
    EXPECT_TRUE(DragTo(*f, "Microwave", true));
    const TToolItem* plannerTool = f->ToolList->GetTool(f->ToolList->IndexOf("Planner"));
    EXPECT_EQ(plannerTool->AddtlGroups, "Microwave");
    EXPECT_TRUE(plannerTool->Modified);
    // Already in the group (its own or copied): nothing is asked.
    EXPECT_TRUE(DragTo(*f, "Broadcast", true));
    EXPECT_TRUE(DragTo(*f, "Microwave", true));
    u.lvwTools->SetSelectedIndex(Row(*f, "Link budget"));
    EXPECT_TRUE(DragTo(*f, "Broadcast", true));  // its own group: nothing is asked
    u.lvwTools->SetSelectedIndex(-1);
    EXPECT_TRUE(DragTo(*f, "Microwave", true));  // nothing selected: nothing happens

    // Enter on a tool starts it with its parameters in its folder.
    u.List1->trigger();
    u.tvwGroups->setCurrentItem(Node(*f, "Microwave"));
    EXPECT_EQ(Captions(*f), "Link budget|Planner");
    u.lvwTools->SetSelectedIndex(Row(*f, "Planner"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(u.lvwTools->CurrentView(), &enter);
    const QString ran = QString::fromStdString(planner + "/ran.txt");
    ASSERT_TRUE(mwtest::WaitFor([&] { return QFile::exists(ran); }, "the tool to start and write its file"));
    EXPECT_EQ(ReadText(ran.toStdString()), "--site\nMt Wilson\n-v\n" + QDir(QString::fromStdString(planner)).canonicalPath().toStdString() + "\n");

    f->Close1Click();
    EXPECT_FALSE(f->isVisible());
    f.reset();

    // Only the copied tool's one value reached the registry; the view went to the settings.
    std::string expected = RegistryText();
    expected.insert(expected.find("Group=broadcast\n") + 16, "AddtlGroups=Microwave\n");
    EXPECT_EQ(ReadText(registry), expected);
    EXPECT_EQ(ReadText(exeDir + "/Tasklander.ini"), "[ViewStyle]\nGroup=Microwave\nPage=1\nViewStyle=&List\n");

    // The next start restores view and group; the desktop page is written but not restored by name.
    f = Start(exeDir);
    EXPECT_TRUE(f->ui->List1->isChecked());
    EXPECT_EQ(f->ui->lvwTools->ViewStyle(), TViewStyle::vsList);
    EXPECT_EQ(f->ui->tvwGroups->currentItem(), Node(*f, "Microwave"));
    EXPECT_EQ(Captions(*f), "Link budget|Planner");
    f->ui->tvwGroups->setCurrentItem(f->ui->tvwGroups->topLevelItem(0));
    EXPECT_EQ(f->ui->nbPanel->currentIndex(), 0);
    EXPECT_EQ(f->ui->lblPanelHdr->Caption(), "Tasklander Desktop");
    f.reset();
    EXPECT_EQ(ReadText(exeDir + "/Tasklander.ini"), "[ViewStyle]\nGroup=Tasklander Desktop\nPage=0\nViewStyle=&List\n");
    f = Start(exeDir);
    EXPECT_EQ(f->ui->tvwGroups->currentItem(), nullptr);
    EXPECT_EQ(f->ui->nbPanel->currentIndex(), 1);
}

TEST_F(MainWindow, ViewStyleValuesChooseTheView)
{
    struct Case { const char* value; TViewStyle style; };
    const Case cases[] = {{"&Icon", TViewStyle::vsIcon}, {"&List", TViewStyle::vsList}, {"List", TViewStyle::vsReport},
                          {"Icon", TViewStyle::vsReport}, {"&Details", TViewStyle::vsReport}, {"", TViewStyle::vsReport}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        WriteText(exeDir + "/Tasklander.ini", std::string("[viewstyle]\nviewstyle=") + c.value + "\nGROUP=broadcast\n");
        auto f = Start(exeDir);
        EXPECT_EQ(f->ui->lvwTools->ViewStyle(), c.style);
        EXPECT_EQ(f->ui->tvwGroups->currentItem(), nullptr);  // "broadcast" is not the node's exact text
    }
}

TEST_F(MainWindow, SettingsGoToTheUserFolderWhenTheProgramFolderCannotBeWritten)
{
    const std::string missing = root + "/installed/nowhere";
    auto f = Start(missing);
    EXPECT_EQ(f->SettingsFileName(), root + "/config/belvor/Tasklander.ini");
    f->ui->Icon1->trigger();
    f.reset();
    EXPECT_EQ(ReadText(root + "/config/belvor/Tasklander.ini"),
              "[ViewStyle]\nGroup= Tasklander Desktop\nPage=1\nViewStyle=&Icon\n");
    f = Start(missing);
    EXPECT_EQ(f->ui->lvwTools->ViewStyle(), TViewStyle::vsIcon);
}

TEST_F(MainWindow, FailedSavesAreReportedAndTheRegistryComesFirst)
{
    // Neither the program folder nor the user's configuration folder can take the settings.
    WriteText(root + "/blocker", "a file where a folder should be");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(root + "/blocker"));
    auto f = Start(root + "/installed/nowhere");
    f->ui->tvwGroups->setCurrentItem(Node(*f, "Broadcast"));
    f->ui->lvwTools->SetSelectedIndex(Row(*f, "Planner"));
    ui.ExpectMessage(mrYes, "Planner to Microwave");
    ASSERT_TRUE(DragTo(*f, "Microwave", true));
    ui.ExpectMessage(IDOK, "Unable to write");
    EXPECT_NO_THROW(f.reset());
    EXPECT_NE(ReadText(registry).find("AddtlGroups=Microwave"), std::string::npos);
}

TEST_F(MainWindow, ADamagedRegistryIsReportedOnceAndLeftAlone)
{
    const std::string damaged = RegistryText() + "a damaged line\n";
    WriteText(registry, damaged);
    // The user's group, remembered from an earlier run, outlives the damaged run.
    const std::string settings = "[ViewStyle]\nGroup=Broadcast\nPage=1\nViewStyle=&List\n";
    WriteText(exeDir + "/Tasklander.ini", settings);
    ui.ExpectMessage(IDOK, "is damaged (line 21");
    auto f = Start(exeDir);
    ASSERT_EQ(f->ui->tvwGroups->topLevelItemCount(), 1);
    EXPECT_EQ(f->ui->tvwGroups->topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(f->ui->lblPanelHdr->Caption(), " Tasklander Desktop");
    f.reset();
    EXPECT_EQ(ReadText(registry), damaged);
    EXPECT_EQ(ReadText(exeDir + "/Tasklander.ini"), settings);
    // Once the registry is mended, the group is there again.
    WriteText(registry, RegistryText());
    f = Start(exeDir);
    EXPECT_EQ(f->ui->tvwGroups->currentItem(), Node(*f, "Broadcast"));
}

// A tool the user asks for that cannot be started says so, and why.
TEST_F(MainWindow, AToolThatCannotStartSaysWhy)
{
    const std::string program = planner + "/planner.sh";
    struct Case {
        const char* name;
        std::function<void()> damage;
        const char* why;
    };
    const Case cases[] = {
        {"lost its execute bit", [&] { ASSERT_EQ(::chmod(program.c_str(), 0644), 0); }, "is not an executable program"},
        {"removed after the list was shown", [&] { ASSERT_TRUE(QFile::remove(QString::fromStdString(program))); },
         "does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        planner = MakeTool("planner", "planner.sh", true);
        auto f = Start(exeDir);
        auto& u = *f->ui;
        u.List1->trigger();
        QTreeWidgetItem* node = Node(*f, "Broadcast");
        mwtest::Click(u.tvwGroups->viewport(), u.tvwGroups->visualItemRect(node).center());
        ASSERT_EQ(u.lblPanelHdr->Caption(), "Broadcast");
        c.damage();
        QAbstractItemView* view = u.lvwTools->CurrentView();
        const QModelIndex item = view->model()->index(Row(*f, "Planner"), 0);
        ui.ExpectMessage(IDOK, c.why);
        mwtest::DoubleClick(view->viewport(), view->visualRect(item).center());
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " boxes were not shown";
        ASSERT_FALSE(ui.Shown().empty());
        const std::string& text = ui.Shown().back().Text;
        EXPECT_EQ(text.rfind("Planner could not be started.\n", 0), 0u) << text;
        EXPECT_NE(text.find(program), std::string::npos) << text;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(planner + "/ran.txt")));
    }
}

// Without a web browser, the web site button and the About box's link tell the user that the
// address could not be opened; with one, they open it and say nothing.
TEST_F(MainWindow, AWebAddressThatCannotBeOpenedIsReported)
{
    auto f = Start(exeDir);
    TfrmAbout about;
    about.show();
    for (const bool browser : {false, true}) {
        SCOPED_TRACE(browser ? "with a browser" : "without a browser");
        std::vector<std::string> asked;
        TUrlOpener previous = SetUrlOpener([&](const std::string& url) {
            asked.push_back(url);
            return browser;
        });
        if (!browser) ui.ExpectMessage(IDOK, std::string("The address ") + kBelvorURL + " could not be opened");
        mwtest::Click(f->ui->sbBelvorCom);
        if (!browser) ui.ExpectMessage(IDOK, std::string("The address ") + kBelvorURL + " could not be opened");
        mwtest::Click(about.ui->URLLabel1);
        SetUrlOpener(previous);
        EXPECT_EQ(asked, (std::vector<std::string>{kBelvorURL, kBelvorURL}));
        EXPECT_TRUE(ui.AllUsed()) << ui.Pending() << " boxes were not shown";
    }
}

// The status bar holds a whole line of its text at every window size, and the Details view
// shows the tools' names whole.
TEST_F(MainWindow, TheStatusBarAndTheNamesAreShownWhole)
{
    std::string text = RegistryText();
    text.replace(text.find("MenuCaption=Link budget"), 23, "MenuCaption=Coverage and interference planner");
    WriteText(registry, text);
    auto f = Start(exeDir);
    auto& u = *f->ui;
    mwtest::Click(u.tvwGroups->viewport(), u.tvwGroups->visualItemRect(Node(*f, "Broadcast")).center());
    for (const QSize size : {QSize(719, 480), QSize(400, 300), QSize(1200, 900)}) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        f->resize(size);
        QCoreApplication::processEvents();
        const int line = f->StatusPanel->fontMetrics().height();
        EXPECT_GE(u.StatusBar1->height(), line);
        EXPECT_GE(f->StatusPanel->height(), line);
        EXPECT_TRUE(u.StatusBar1->rect().contains(f->StatusPanel->geometry())) << "the text lies outside its bar";
        EXPECT_LE(u.StatusBar1->mapTo(f.get(), QPoint(0, u.StatusBar1->height())).y(), f->height());
    }
    u.Details1->trigger();
    QCoreApplication::processEvents();
    QAbstractItemView* view = u.lvwTools->CurrentView();
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        const QModelIndex name = view->model()->index(row, 0);
        const QString text = name.data().toString();
        const int needed = view->fontMetrics().horizontalAdvance(text) + view->iconSize().width();
        EXPECT_GE(view->visualRect(name).width(), needed) << text.toStdString();
    }
}
