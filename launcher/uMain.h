// The launcher's main window: the group tree, the notebook with the welcome page and the
// tool list, the view styles, and the settings kept in "Tasklander.ini".
#pragma once

#include "launcher/mod_Tool.h"
#include "platform/ui/Forms.h"

#include <memory>
#include <string>

namespace Ui {
class TfrmMainForm;
}

class QLabel;
class QTreeWidgetItem;

class TfrmMainForm : public TForm {
public:
    // exeDir: the folder of the settings file beside the program (the program's own folder when empty).
    explicit TfrmMainForm(QWidget* owner = nullptr, const std::string& exeDir = {});
    ~TfrmMainForm() override;

    std::string ExeDir;            // with its trailing "/"
    std::string ViewStyleCaption;  // the view menu item chosen last
    std::unique_ptr<TToolList> ToolList;
    bool CatalogueRead = true;     // false after a run whose registry could not be read

    // The settings file written: beside the program when that can be written, else
    // <config>/belvor/Tasklander.ini.
    std::string SettingsFileName() const;

    void FormCreate();
    void FormDestroy() noexcept;
    void FillGroupTree();
    void ShowGroup(const std::string& name, int level);
    void LoadSettings();
    void SaveSettings();

    void Close1Click();
    void tvwGroupsChange(QTreeWidgetItem* node);
    void lvwToolsClick();
    void lvwToolsChange();
    void lvwToolsDblClick();
    void lvwToolsKeyDown(int& key);
    void Icon1Click();
    void List1Click();
    void Details1Click();
    void tvwGroupsDragOver(const QMimeData* data, const QPoint& p, bool& accept);
    void tvwGroupsDragDrop(const QMimeData* data, const QPoint& p);
    void Splitter1Paint(QPainter& painter, const QRect& rect);
    void sbBelvorComClick();
    void About1Click();

    std::unique_ptr<Ui::TfrmMainForm> ui;
    QLabel* StatusPanel = nullptr;  // StatusBar1's one panel
    TImageList ImgGroupList;

private:
    void ChooseView(QAction* item, TViewStyle style);
    std::string ReadSettingsFileName() const;
};

// The windows created at start-up.
extern TfrmMainForm* frmMainForm;
