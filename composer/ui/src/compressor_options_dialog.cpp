#include "ui/compressor_options_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <exception>

#include "base/interaction.h"
#include "commands/gui_thread.h"

namespace composer {

namespace {

QString Code(int32_t handler) {
    QString text;
    for (int shift = 0; shift < 32; shift += 8) text += QChar(static_cast<char>((handler >> shift) & 0xFF));
    return text;
}

cb::DialogAnswer AskOptions(cb::CompressorOptions& options) {
    std::vector<CompressorEntry> compressors;
    try {
        compressors = WritingCompressors();
    } catch (const std::exception& error) {
        MsgBox(error.what());
        return cb::DialogAnswer::Cancelled;
    }
    CompressorOptionsDialog dialog(compressors, options, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return cb::DialogAnswer::Cancelled;
    options = dialog.Options();
    return cb::DialogAnswer::Accepted;
}

}  // namespace

CompressorOptionsDialog::CompressorOptionsDialog(const std::vector<CompressorEntry>& compressors,
                                                 const cb::CompressorOptions& start, QWidget* parent)
    : QDialog(parent),
      compressors_(compressors),
      start_(start),
      list_(new QComboBox(this)),
      quality_(new QSpinBox(this)),
      keyFrames_(new QSpinBox(this)) {
    setWindowTitle(QStringLiteral("Video Compression"));
    auto* form = new QFormLayout(this);
    for (const CompressorEntry& entry : compressors_)
        list_->addItem(QString::fromStdString(entry.description.empty() ? entry.name : entry.description) +
                       " (" + Code(entry.handler).trimmed() + ")");
    quality_->setRange(0, 100);
    quality_->setSuffix(QStringLiteral(" %"));
    keyFrames_->setRange(0, 9999);
    keyFrames_->setSpecialValueText(QStringLiteral("the compressor's choice"));
    form->addRow(QStringLiteral("&Compressor:"), list_);
    form->addRow(QStringLiteral("Compression &quality:"), quality_);
    form->addRow(QStringLiteral("&Key frame every (frames):"), keyFrames_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    connect(list_, &QComboBox::currentIndexChanged, this, [this](int index) { ShowDefaultsOf(index); });
    int chosen = 0;
    for (std::size_t i = 0; i < compressors_.size(); ++i)
        if (static_cast<uint32_t>(compressors_[i].handler) == start.handler) chosen = static_cast<int>(i);
    list_->setCurrentIndex(chosen);
    ShowDefaultsOf(chosen);
    if (start.quality > 0) quality_->setValue(start.quality / 100);
    if (start.keyFrameRate > 0) keyFrames_->setValue(start.keyFrameRate);
}

void CompressorOptionsDialog::ShowDefaultsOf(int index) {
    if (index < 0 || index >= static_cast<int>(compressors_.size())) return;
    const CompressorEntry& entry = compressors_[static_cast<std::size_t>(index)];
    quality_->setEnabled(entry.supportsQuality);
    quality_->setValue(entry.defaultQuality / 100);
    keyFrames_->setValue(entry.defaultKeyFrameRate);
}

cb::CompressorOptions CompressorOptionsDialog::Options() const {
    cb::CompressorOptions options = start_;
    const int index = list_->currentIndex();
    if (index >= 0 && index < static_cast<int>(compressors_.size()))
        options.handler = static_cast<uint32_t>(compressors_[static_cast<std::size_t>(index)].handler);
    options.quality = quality_->value() * 100;
    options.keyFrameRate = keyFrames_->value();
    return options;
}

ScopedCompressorDialog::ScopedCompressorDialog() {
    cb::SetCompressorDialogProvider([](cb::CompressorOptions& options, HWND) {
        cb::DialogAnswer answer = cb::DialogAnswer::Cancelled;
        RunOnGuiThread([&] { answer = AskOptions(options); });
        return answer;
    });
}

ScopedCompressorDialog::~ScopedCompressorDialog() { cb::SetCompressorDialogProvider({}); }

}  // namespace composer
