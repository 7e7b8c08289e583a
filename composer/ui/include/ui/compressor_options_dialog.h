#pragma once
// The compressor options dialog the library asks for when a movie file is created with the
// compressor prompt on: the compressors that write (from the library), the quality and the key-frame
// rate. The program registers it for the lifetime of its windows.
#include <QDialog>
#include <vector>

#include "cbplatform/compressor_dialog.h"
#include "media/library/compressor_list.h"

class QComboBox;
class QSpinBox;

namespace composer {

class CompressorOptionsDialog : public QDialog {
  public:
    CompressorOptionsDialog(const std::vector<CompressorEntry>& compressors,
                            const cb::CompressorOptions& start, QWidget* parent = nullptr);
    // The options as the dialog shows them.
    cb::CompressorOptions Options() const;

    QComboBox* CompressorList() const { return list_; }
    QSpinBox* Quality() const { return quality_; }
    QSpinBox* KeyFrameRate() const { return keyFrames_; }

  private:
    void ShowDefaultsOf(int index);

    std::vector<CompressorEntry> compressors_;
    cb::CompressorOptions start_;
    QComboBox* list_;
    QSpinBox* quality_;
    QSpinBox* keyFrames_;
};

// Registers the dialog as the library's compressor dialog while it lives.
class ScopedCompressorDialog {
  public:
    ScopedCompressorDialog();
    ~ScopedCompressorDialog();
    ScopedCompressorDialog(const ScopedCompressorDialog&) = delete;
    ScopedCompressorDialog& operator=(const ScopedCompressorDialog&) = delete;
};

}  // namespace composer
