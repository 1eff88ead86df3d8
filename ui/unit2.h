// TForm2: the key-store password prompt. Its creation makes the mask key and
// tries the store with the default password; only when that fails does the
// prompt show, and the main window stays disabled until a load succeeds.
#pragma once

#include <QWidget>

#include "ui/key_store_loader.h"
#include "ui/session.h"
#include "ui/window_table.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tazu {

class TForm2 : public QWidget, private LoadHost {
    Q_OBJECT
  public:
    TForm2(Session& session, Windows& windows);

    QLabel* LabeledEdit1Label;  // "Введите пароль:"
    QLineEdit* LabeledEdit1;
    QPushButton* SpeedButton1;  // "Продолжить"
    QPushButton* SpeedButton2;  // "Выход"
    QLabel* StaticText1;        // "Статус:"
    QLabel* StaticText2;        // the status line

    void SpeedButton1Click();
    void SpeedButton2Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();
    void ShowPrompt();

    // LoadHost
    bool IsSwitchOn(LoadSwitch which) const override;
    void SetSwitch(LoadSwitch which, bool on) override;
    void ShowStatus(std::string_view text) override;
    void LockInput() override;
    void ProcessEvents() override;

    Session& session_;
    Windows& windows_;
};

}  // namespace tazu
