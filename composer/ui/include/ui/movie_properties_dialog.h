#pragma once
// The movie properties dialog " Movie Properties:" (MoviePropFrm): the movie's title and its output
// format (frame rate, frame size, compressor, sound), with what the clips hold beside each field.
// OK checks the entries (ui/movie_properties_rules.h) and keeps the dialog open on a failure.
#include <string>

#include "commands/movie_properties_rules.h"
#include "document/session.h"
#include "document/survey_sources.h"
#include "ui/help_line_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace composer {

class MoviePropFrm : public HelpLineDialog {
  public:
    explicit MoviePropFrm(QWidget* parent = nullptr);

    // Fills the fields from the movie and the survey, and the compressor list.
    void Fill(const MovieDbRec& movie, const SourceSurvey& survey, const CompressorChoices& compressors,
              const OutputCoding& coding);
    // What the dialog holds now.
    MovieProperties Entries() const;
    bool accepted = false;

    QLineEdit* TitleTxt() const { return title_; }
    QLineEdit* FpsTxt() const { return fps_; }
    QLineEdit* WidthTxt() const { return width_; }
    QLineEdit* HeightTxt() const { return height_; }
    QComboBox* CompCmb() const { return compressor_; }
    QComboBox* SampRatCmb() const { return rate_; }
    QRadioButton* Mono() const { return mono_; }
    QRadioButton* EightBits() const { return eight_; }
    QSpinBox* KeyFramesSpn() const { return keyFrames_; }
    QSpinBox* QualitySpn() const { return quality_; }
    QComboBox* SpeedCmb() const { return speed_; }
    QCheckBox* SharpPixelsChk() const { return sharpPixels_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Ok();
    QWidget* BuildVideo();
    QWidget* BuildAudio();
    QWidget* BuildCoding(QWidget* parent);

    QLineEdit* title_;
    QLineEdit* fps_;
    QLineEdit* width_;
    QLineEdit* height_;
    QComboBox* compressor_;
    QComboBox* rate_;
    QSpinBox* keyFrames_;
    QSpinBox* quality_;
    QComboBox* speed_;
    QCheckBox* sharpPixels_;
    QRadioButton* mono_;
    QRadioButton* stereo_;
    QRadioButton* sixteen_;
    QRadioButton* eight_;
    QLabel* largeFps_;
    QLabel* largeWidth_;
    QLabel* largeHeight_;
    QLabel* remChannels_;
    QLabel* remBits_;
    QLabel* remMinRate_;
    QLabel* remMaxRate_;
};

// The Movie Properties command: surveys the sources (repairing the output settings), shows the
// dialog modally and applies it when accepted. Returns whether it was.
bool MoviePropertiesCommand(Session& session, QWidget* parent);

}  // namespace composer
