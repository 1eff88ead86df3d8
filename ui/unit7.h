// TForm7: "Расшифровывание", the decrypt dialog. Shows the chosen archive,
// proposes its folder as the destination, takes the password, runs the
// extraction with TForm9 in its place and TForm11 for existing files, and
// tells the outcome. A wrong password counts towards the attempt counter it
// shares with the key-store prompt.
#pragma once

#include <QString>
#include <filesystem>

#include "decrypt/decrypt_host.h"
#include "ui/run_dialog.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tazu {

class TForm7 : public RunDialog {
    Q_OBJECT
  public:
    TForm7(Session& session, Windows& windows, QWidget* parent = nullptr);

    // The run state kept from one run to the next.
    DecryptRunState& state() { return state_; }

    void SpeedButton2Click();
    void SpeedButton3Click();

  protected:
    void FormShow() override;

  private:
    void FormCreate();
    // A destination typed without its final separator is stored back with it.
    void EndDestinationWithSeparator();
    void Run(const std::filesystem::path& destination);
    // The message of the run's outcome and what follows it; false when the
    // wrong-password rule closed the dialog.
    bool ShowOutcome(bool result, std::uint8_t code);

    DecryptRunState state_;
};

}  // namespace tazu
