#include "ui/choice_window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/widgets.h"

namespace tazu {

ChoiceWindow::ChoiceWindow(const QStringList& choices, const QString& all_caption, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Выбор действия"));
    LabeledEdit1 =
        MakeLabeledEdit(tr("Файл уже существует:"), this, "LabeledEdit1", &LabeledEdit1Label);
    LabeledEdit1->setReadOnly(true);
    LabeledEdit1->setMinimumWidth(420);

    GroupBox1 = new QGroupBox(tr("Выберите действие:"), this);
    GroupBox1->setObjectName("GroupBox1");
    auto* column = new QVBoxLayout(GroupBox1);
    for (int i = 0; i < choices.size(); ++i) {
        auto* radio = new QRadioButton(choices[i], GroupBox1);
        radio->setObjectName(QString("RadioButton%1").arg(i + 1));
        column->addWidget(radio);
        RadioButtons.push_back(radio);
    }
    RadioButtons.front()->setChecked(true);
    if (!all_caption.isEmpty()) {
        CheckBox1 = new QCheckBox(all_caption, this);
        CheckBox1->setObjectName("CheckBox1");
    }
    SpeedButton1 = MakeButton(tr("ОК"), this, "SpeedButton1");
    SpeedButton1->setMinimumWidth(100);
    connect(SpeedButton1, &QPushButton::clicked, this, &ChoiceWindow::SpeedButton1Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabeledEdit1Label);
    layout->addWidget(LabeledEdit1);
    layout->addWidget(GroupBox1);
    if (CheckBox1 != nullptr) {
        layout->addWidget(CheckBox1);
    }
    layout->addWidget(SpeedButton1, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool ChoiceWindow::Ask(const QWidget* owner, const QString& path) {
    adjustSize();
    if (owner != nullptr) {
        CentreOver(this, owner);
    }
    LabeledEdit1->setText(path);
    LabeledEdit1->setCursorPosition(0);
    // The keyboard starts on the checked choice: arrows move, Tab reaches "ОК".
    for (QRadioButton* radio : RadioButtons) {
        if (radio->isChecked()) {
            FocusVisibly(radio);
        }
    }
    return exec() == QDialog::Accepted;
}

int ChoiceWindow::Choice() const {
    for (std::size_t i = 0; i < RadioButtons.size(); ++i) {
        if (RadioButtons[i]->isChecked()) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

void ChoiceWindow::SpeedButton1Click() {
    accept();
}

}  // namespace tazu
