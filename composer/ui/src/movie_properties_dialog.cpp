#include "ui/movie_properties_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <exception>

#include "base/app_state.h"
#include "base/guide.h"
#include "base/interaction.h"
#include "base/text_number.h"
#include "commands/display_text.h"
#include "document/movie_db.h"
#include "media/containers/container_movie_writer.h"

namespace composer {

namespace {

QLineEdit* Field(QWidget* parent, const char* objectName, const QString& help) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(objectName));
    field->setStatusTip(help);
    return field;
}

QLabel* Remark(QWidget* parent, const char* objectName, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setEnabled(false);  // shown in the palette's quieter colour
    return label;
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

MoviePropFrm::MoviePropFrm(QWidget* parent)
    : HelpLineDialog(parent),
      title_(Field(this, "TitleTxt", QStringLiteral("Type the movie title here. This just for your ref."))),
      fps_(Field(this, "FPSTxt", QStringLiteral("Speed of the movie. Frames per seconds."))),
      width_(Field(this, "WidthTxt", QStringLiteral("Width of the movie."))),
      height_(Field(this, "HeightTxt", QStringLiteral("Height of the movie."))),
      compressor_(new QComboBox(this)),
      rate_(new QComboBox(this)),
      keyFrames_(new QSpinBox(this)),
      quality_(new QSpinBox(this)),
      speed_(new QComboBox(this)),
      sharpPixels_(new QCheckBox(QStringLiteral("Sharp pixels"), this)),
      mono_(new QRadioButton(QStringLiteral("Mono"), this)),
      stereo_(new QRadioButton(QStringLiteral("Stereo"), this)),
      sixteen_(new QRadioButton(QStringLiteral("16 bits"), this)),
      eight_(new QRadioButton(QStringLiteral("8 bits"), this)),
      largeFps_(Remark(this, "LargeFpsLbl", QStringLiteral("Largest FPS found in your source clip is:"))),
      largeWidth_(Remark(this, "LargeWdLbl", QStringLiteral("Largest Width found in your source clip is:"))),
      largeHeight_(
          Remark(this, "LargeHtLbl", QStringLiteral("Largest Height found in your source clip is:"))),
      remChannels_(Remark(this, "RemChnLbl", QStringLiteral("Both - found in source file"))),
      remBits_(Remark(this, "RemBitsLbl", QStringLiteral("Both - found in source file"))),
      remMinRate_(Remark(this, "RemSmpMinLbl", QStringLiteral("Minimum 11025 found in source file"))),
      remMaxRate_(Remark(this, "RemSmpMaxLbl", QStringLiteral("Maximum 44100 found in source file"))) {
    setObjectName(QStringLiteral("MoviePropFrm"));
    setWindowTitle(QStringLiteral(" Movie Properties:"));
    compressor_->setObjectName(QStringLiteral("CompCmb"));
    rate_->setObjectName(QStringLiteral("SampRatCmb"));
    // These two give their help when they receive the focus.
    compressor_->installEventFilter(this);
    rate_->installEventFilter(this);
    for (const int32_t rate : OfferedSampleRates()) rate_->addItem(QString::number(rate), rate);

    auto* layout = new QVBoxLayout(this);
    auto* titleRow = new QFormLayout;
    titleRow->addRow(QStringLiteral("Title:"), title_);
    layout->addLayout(titleRow);
    auto* columns = new QHBoxLayout;
    columns->addWidget(BuildVideo(), 3);
    columns->addWidget(BuildAudio(), 2);
    layout->addLayout(columns);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] {
        accepted = false;
        reject();
    });
    layout->addWidget(buttons);
}

QWidget* MoviePropFrm::BuildVideo() {
    auto* video = new QGroupBox(QStringLiteral("Video:"), this);
    video->setObjectName(QStringLiteral("VideoFrame"));
    auto* layout = new QVBoxLayout(video);
    auto* speed = new QGroupBox(QStringLiteral("Speed:"), video);
    auto* speedForm = new QFormLayout(speed);
    speedForm->addRow(QStringLiteral("Frames Per Second (FPS):"), fps_);
    speedForm->addRow(new QLabel(QStringLiteral("Default value is 25 fps"), speed));
    speedForm->addRow(largeFps_);
    layout->addWidget(speed);
    auto* size = new QGroupBox(QStringLiteral("Frame Size:"), video);
    auto* sizeForm = new QFormLayout(size);
    sizeForm->addRow(QStringLiteral("Width:"), width_);
    sizeForm->addRow(QStringLiteral("Height:"), height_);
    sizeForm->addRow(largeWidth_);
    sizeForm->addRow(largeHeight_);
    layout->addWidget(size);
    auto* codec = new QGroupBox(QStringLiteral("AVI Compression Codec:"), video);
    (new QVBoxLayout(codec))->addWidget(compressor_);
    layout->addWidget(codec);
    layout->addWidget(BuildCoding(video));
    return video;
}

// Key frames of every movie, and the quality and speed of the movies to share (.mp4, .mkv, .webm).
QWidget* MoviePropFrm::BuildCoding(QWidget* parent) {
    auto* coding = new QGroupBox(QStringLiteral("Key frames, scaling and movies to share:"), parent);
    coding->setObjectName(QStringLiteral("CodingFrame"));
    keyFrames_->setObjectName(QStringLiteral("KeyFramesSpn"));
    keyFrames_->setRange(0, kMostFramesBetweenKeys);
    keyFrames_->setSpecialValueText(QStringLiteral("Compressor's own"));
    keyFrames_->setSuffix(QStringLiteral(" frames"));
    keyFrames_->setStatusTip(
        QStringLiteral("Frames from one key frame to the next. Fewer make larger files that seek faster."));
    quality_->setObjectName(QStringLiteral("QualitySpn"));
    quality_->setRange(0, kWorstShareQuality);
    quality_->setStatusTip(
        QStringLiteral("Quality of .mp4, .mkv and .webm movies: lower is better and larger, 20 is usual."));
    speed_->setObjectName(QStringLiteral("SpeedCmb"));
    for (const std::string& speed : ShareSpeeds()) speed_->addItem(Text(speed));
    speed_->setStatusTip(QStringLiteral(
        "How hard .mp4 and .mkv movies are coded: slower makes smaller files of the same quality."));
    sharpPixels_->setObjectName(QStringLiteral("SharpPixelsChk"));
    sharpPixels_->setStatusTip(QStringLiteral(
        "Pictures of another size than the movie take their nearest pixels instead of being smoothed."));
    auto* form = new QFormLayout(coding);
    form->addRow(QStringLiteral("Key frame every:"), keyFrames_);
    form->addRow(QStringLiteral("Quality (.mp4, .mkv, .webm):"), quality_);
    form->addRow(QStringLiteral("Coding speed (.mp4, .mkv):"), speed_);
    form->addRow(sharpPixels_);
    return coding;
}

QWidget* MoviePropFrm::BuildAudio() {
    auto* audio = new QGroupBox(QStringLiteral("Audio:"), this);
    audio->setObjectName(QStringLiteral("AudioFrame"));
    auto* layout = new QVBoxLayout(audio);
    auto group = [&](const QString& caption, QWidget* first, QWidget* second, QLabel* remark,
                     const QString& help) {
        auto* box = new QGroupBox(caption, audio);
        auto* inner = new QVBoxLayout(box);
        auto* options = new QHBoxLayout;
        options->addWidget(first);
        options->addWidget(second);
        first->setStatusTip(help);
        second->setStatusTip(help);
        inner->addLayout(options);
        inner->addWidget(remark);
        layout->addWidget(box);
    };
    group(QStringLiteral("Channel:"), mono_, stereo_, remChannels_,
          QStringLiteral("Audio channel, choose stereo or mono."));
    group(QStringLiteral("Bits:"), sixteen_, eight_, remBits_,
          QStringLiteral("Audio data's bits per sample."));
    auto* rate = new QGroupBox(QStringLiteral("Sampling Rate::"), audio);
    auto* inner = new QVBoxLayout(rate);
    inner->addWidget(rate_);
    inner->addWidget(remMinRate_);
    inner->addWidget(remMaxRate_);
    layout->addWidget(rate);
    layout->addStretch(1);
    return audio;
}

void MoviePropFrm::Fill(const MovieDbRec& movie, const SourceSurvey& survey,
                        const CompressorChoices& compressors, const OutputCoding& coding) {
    title_->setText(Text(movie.MovieName));
    fps_->setText(Text(FormatNumber(movie.OutFps)));
    width_->setText(QString::number(movie.OutWidth));
    height_->setText(QString::number(movie.OutHeight));
    largeFps_->setText(Text(survey.FpsLabel));
    largeWidth_->setText(Text(survey.WidthLabel));
    largeHeight_->setText(Text(survey.HeightLabel));
    remChannels_->setText(Text(survey.ChannelsLabel));
    remBits_->setText(Text(survey.BitsLabel));
    remMinRate_->setText(Text(survey.MinRateLabel));
    remMaxRate_->setText(Text(survey.MaxRateLabel));
    compressor_->clear();
    for (const CompressorChoice& choice : compressors.entries)
        compressor_->addItem(Text(choice.name), choice.handler);
    compressor_->setCurrentIndex(static_cast<int>(compressors.selected));
    (movie.OutChannels == 1 ? mono_ : stereo_)->setChecked(true);
    (movie.OutBits == 8 ? eight_ : sixteen_)->setChecked(true);
    rate_->setCurrentIndex(rate_->findData(movie.OutRate));
    keyFrames_->setValue(coding.keyFrameInterval);
    quality_->setValue(coding.shareQuality);
    speed_->setCurrentText(Text(coding.sharePreset));
    sharpPixels_->setChecked(coding.sharpPixels);
}

MovieProperties MoviePropFrm::Entries() const {
    MovieProperties entries;
    entries.title = title_->text().toStdString();
    entries.fpsText = fps_->text().toStdString();
    entries.widthText = width_->text().toStdString();
    entries.heightText = height_->text().toStdString();
    entries.compressor = compressor_->currentData().toInt();
    entries.channels = mono_->isChecked() ? 1 : 2;
    entries.bits = eight_->isChecked() ? 8 : 16;
    // A rate the list does not hold (none selected) keeps the movie's own.
    entries.rate = rate_->currentIndex() >= 0 ? rate_->currentData().toInt() : 0;
    entries.coding.keyFrameInterval = keyFrames_->value();
    entries.coding.shareQuality = quality_->value();
    entries.coding.sharePreset = speed_->currentText().toStdString();
    entries.coding.sharpPixels = sharpPixels_->isChecked();
    return entries;
}

void MoviePropFrm::Ok() {
    const MovieProperties entries = Entries();
    std::string failure = MoviePropertiesFailure(entries.fpsText, entries.widthText, entries.heightText);
    if (failure.empty())
        failure = CompressorSizeFailure(entries.compressor, entries.widthText, entries.heightText);
    if (!failure.empty()) {
        MsgBox(failure);
        return;
    }
    accepted = true;
    accept();
}

bool MoviePropFrm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == compressor_) ShowStatusHelp("Compression codec to use for movie output.");
        if (watched == rate_) ShowStatusHelp("Audio sampling rate, in Hz.");
    }
    return HelpLineDialog::eventFilter(watched, event);
}

bool MoviePropertiesCommand(Session& session, QWidget* parent) {
    const SourceSurvey survey = SurveySources(session.EditMovie());
    std::vector<CompressorEntry> writing;
    try {
        writing = WritingCompressors();
    } catch (const std::exception& error) {
        MsgBox(std::string("The list of compressors could not be read:\r\n") + error.what());
    }
    MoviePropFrm dialog(parent);
    dialog.Fill(session.Movie(), survey, CompressorChoicesFor(writing, session.output.compressor),
                session.output.coding);
    dialog.exec();
    if (!dialog.accepted) return false;
    MovieProperties entries = dialog.Entries();
    if (entries.rate == 0) entries.rate = session.Movie().OutRate;
    ApplyMovieProperties(entries, session.EditMovie(), session.output.compressor, session.output.coding);
    return true;
}

}  // namespace composer
