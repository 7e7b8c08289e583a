#pragma once
// The play window "Play" (PlayFrm): plays AVI files in the main window with the program's own
// player (media/avi_playback.h): the part test play rendered into the work folder, and a video
// clip's own file. Its commands: Prev (to the start), play, pause, a position slider, open another
// file and close. A file it was told to delete (a test play) is deleted when the next file opens
// and when the program ends.
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <string>

#include "document/movie_records.h"
#include "media/avi_playback.h"

class QLabel;
class QSlider;
class QToolButton;

namespace composer {

class PlayPicture;

class PlayFrm : public QWidget {
  public:
    explicit PlayFrm(QWidget* parent = nullptr);
    ~PlayFrm() override;

    // Load: the size label shows the movie's output size.
    void Load(const MovieDbRec& movie);

    // Plays a file shown at width x height (below 2: 400 x 300); deleteAfter marks a file that is
    // removed once it is closed. A missing file or one the player cannot open is named in a message
    // and the current file plays on.
    void PlayAVIFile(const std::string& fileName, int width, int height, bool deleteAfter);
    // Closes the open file, deleting it when it was marked so.
    void StopAndClose();

    // The player's commands.
    void Prev();
    void Play();
    void Pause();
    void OpenFromDialog();

    bool IsOpen() const { return open_; }
    const std::string& FileName() const { return fileName_; }
    AviPlayback& Player() { return player_; }
    QLabel* SizeLabel() const { return size_; }
    QWidget* Picture() const;
    QSlider* PositionSlider() const { return slider_; }
    QToolButton* Command(const char* objectName) const;
    // The frame shown last (1-based), 0 before the first.
    int32_t ShownFrame() const { return shownFrame_; }
    // The note over the picture when the frame due could not be read (PlayFrameProblem); "" else.
    QString FrameNote() const;

    // The picture is refreshed this often while playing.
    static constexpr int kTickMs = 5;

  private:
    void Tick();
    void ShowDueFrame();
    void UpdateButtons();

    AviPlayback player_;
    QTimer ticker_;
    QWidget* topFrame_;
    PlayPicture* picture_;
    QLabel* size_;
    QSlider* slider_;
    bool open_ = false;
    bool deleteAfter_ = false;
    bool sliderHeld_ = false;
    std::string fileName_;
    PixelBuffer pixels_;
    int32_t shownFrame_ = 0;
};

}  // namespace composer
