#include "FormLogToFile.h"

#include "NumberInput.h"
#include "NumberText.h"
#include "OperatorDialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {
QString Caption() {
    return QCoreApplication::translate("FormLogToFile", "Log to File");
}

// Seconds shown in the digits the program writes and read back by the number reader, so
// that a desktop with digits of its own (Arabic, Bengali, Burmese) neither shows "٦٠ s"
// nor refuses what it shows.
class SecondsBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QString textFromValue(int value) const override { return FixedText(value, 0, locale()); }
    int valueFromText(const QString& text) const override {
        return int(ReadWholeNumber(Bare(text), minimum(), maximum(), locale()).value_or(value()));
    }
    QValidator::State validate(QString& text, int&) const override {
        const QString bare = Bare(text);
        if (ReadWholeNumber(bare, minimum(), maximum(), locale()))
            return QValidator::Acceptable;
        return bare.size() <= 12 ? QValidator::Intermediate : QValidator::Invalid;
    }

private:
    QString Bare(QString text) const {
        if (!suffix().isEmpty() && text.endsWith(suffix()))
            text.chop(suffix().size());
        return text.trimmed();
    }
};
} // namespace

TFormLogToFile::TFormLogToFile(OperatorDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("FormLogToFile"));
    setWindowTitle(Caption());

    file_ = new QLineEdit(this);
    file_->setObjectName(QStringLiteral("EditFile"));
    file_->setMinimumWidth(320);
    auto* browse = new QPushButton(tr("Browse..."), this);
    browse->setObjectName(QStringLiteral("ButtonBrowse"));
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString name = QFileDialog::getSaveFileName(
            this, Caption(), file_->text(), QStringLiteral("CSV files (*.csv)"), nullptr,
            QFileDialog::DontConfirmOverwrite); // an existing log is appended to
        if (!name.isEmpty())
            file_->setText(QDir::toNativeSeparators(name));
    });
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browse);

    every_ = new QComboBox(this);
    every_->setObjectName(QStringLiteral("ComboInterval"));
    every_->addItems({tr("Every reply"), tr("At most once every")});
    seconds_ = new SecondsBox(this);
    seconds_->setObjectName(QStringLiteral("SpinSeconds"));
    seconds_->setRange(kMinLogIntervalS, kMaxLogIntervalS);
    seconds_->setValue(10);
    seconds_->setSuffix(QStringLiteral(" s"));
    seconds_->setEnabled(false);
    connect(every_, &QComboBox::currentIndexChanged, this,
            [this](int i) { seconds_->setEnabled(i == 1); });
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(every_, 1);
    intervalRow->addWidget(seconds_);

    rotation_ = new QComboBox(this);
    rotation_->setObjectName(QStringLiteral("ComboRotation"));
    rotation_->addItems({tr("One file"), tr("A new file every hour"), tr("A new file every day")});

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Start Logging"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TFormLogToFile::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFormLogToFile::reject);

    auto* form = new QFormLayout(this);
    form->addRow(tr("CSV file:"), fileRow);
    form->addRow(tr("Interval:"), intervalRow);
    form->addRow(tr("Files:"), rotation_);
    form->addRow(buttons);
}

MeteringLogSettings TFormLogToFile::Settings() const {
    MeteringLogSettings s;
    s.fileName = QDir::fromNativeSeparators(file_->text().trimmed());
    s.minIntervalS = every_->currentIndex() == 1 ? seconds_->value() : 0;
    s.rotation = LogRotation(rotation_->currentIndex());
    return s;
}

void TFormLogToFile::SetSettings(const MeteringLogSettings& s) {
    file_->setText(QDir::toNativeSeparators(s.fileName));
    every_->setCurrentIndex(s.minIntervalS > 0 ? 1 : 0);
    if (s.minIntervalS > 0)
        seconds_->setValue(s.minIntervalS);
    rotation_->setCurrentIndex(int(s.rotation));
}

std::optional<MeteringLogSettings> TFormLogToFile::Checked() {
    MeteringLogSettings s = Settings();
    if (s.fileName.isEmpty()) {
        dialogs_.Warn(Caption(), tr("CSV file: enter the name of the file to log to."));
        return std::nullopt;
    }
    const QFileInfo info(s.fileName);
    if (info.isDir()) {
        dialogs_.Warn(
            Caption(),
            tr("CSV file: \"%1\" is a folder; enter a file name.").arg(file_->text().trimmed()));
        return std::nullopt;
    }
    if (!info.absoluteDir().exists()) {
        dialogs_.Warn(Caption(), tr("CSV file: the folder \"%1\" does not exist.")
                                     .arg(QDir::toNativeSeparators(info.absolutePath())));
        return std::nullopt;
    }
    // The spin box keeps its own range, but the text typed last may not have been taken.
    const auto typed = ReadWholeNumber(seconds_->cleanText(), kMinLogIntervalS, kMaxLogIntervalS,
                                       seconds_->locale());
    const int seconds = typed ? int(*typed) : 0;
    if (every_->currentIndex() == 1 && !typed) {
        const QString advice = NumberAdvice(seconds_->cleanText(), seconds_->locale(), 0);
        dialogs_.Warn(
            Caption(),
            tr("Interval: enter %1 to %2 seconds.").arg(kMinLogIntervalS).arg(kMaxLogIntervalS) +
                (advice.isEmpty() ? QString() : QLatin1Char(' ') + advice));
        return std::nullopt;
    }
    if (every_->currentIndex() == 1) {
        seconds_->setValue(seconds);
        s.minIntervalS = seconds;
    }
    return s;
}

void TFormLogToFile::accept() {
    if (Checked())
        QDialog::accept();
}
