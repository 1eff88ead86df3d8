// The program's windows for one run, created once in the fixed order: the
// main window, the key-store prompt (whose creation loads the store), then
// TForm3 to TForm13 in their order and the status window. Destroyed in the
// reverse order.
#pragma once

#include <memory>

#include "ui/session.h"
#include "ui/window_table.h"

namespace tazu {

class Program {
  public:
    explicit Program(Session& session);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Shows the main window, with the prompt on top when the store still
    // waits for its password.
    void Show();

    Windows& windows() { return windows_; }

  private:
    void ConnectProgressWindows();

    Session& session_;
    Windows windows_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    // Dialogs are children of the main window, which keeps them on top of it.
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TForm5> form5_;
    std::unique_ptr<TForm6> form6_;
    std::unique_ptr<TForm7> form7_;
    std::unique_ptr<TForm8> form8_;
    std::unique_ptr<TForm9> form9_;
    std::unique_ptr<TForm10> form10_;
    std::unique_ptr<TForm11> form11_;
    std::unique_ptr<TForm12> form12_;
    std::unique_ptr<TForm13> form13_;
    std::unique_ptr<TForm15> form15_;
};

}  // namespace tazu
