#pragma once

#include "AboutText.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TForm_About;
}

// The about box: product name, the operating system and the physical memory.
//
// The shell opens it from "About Us(&A)" without an owner, modally, and
// releases it when it closes:
//     TForm_About about;
//     about.exec();
class TForm_About : public QDialog {
    Q_OBJECT

public:
    // Describes the machine the program runs on.
    explicit TForm_About(QWidget* parent = nullptr);
    // Shows the given description instead (a label without a value keeps its design text).
    explicit TForm_About(const SystemDescription& system, QWidget* parent = nullptr);
    ~TForm_About() override;

public slots:
    // Opens the link label's text with the desktop's handler; an empty text opens nothing.
    void Label3Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const SystemDescription& system);

    std::unique_ptr<Ui::TForm_About> ui;
};
