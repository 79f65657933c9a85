#pragma once

#include "app/AppContext.h"

#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <QTimer>
#include <QTreeWidget>
#include <QVector>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class KeySink;
class LedLabel;
class MeterSegment;
class PictureBox;
class SkinButton;
class SkinOption;
class VolumeBar;

class DeviceModes;
class TimeDisplay;
class TrackGrid;
class RepeatOrder;
class TitleStore;
class Volume;
class StatusPoller;
class Transport;
class MessageHook;
class KeyTable;
class PowerTray;
class DriveSelection;
class TitleEditing;
class OptionsHelp;
class FileList;
class OpenFile;

// The player's main window: a frameless skinned panel whose child controls carry their
// design names. The logic of each area lives in its own object (modes, timeDisplay, grid,
// repeat, titles, volume); connectControls() wires the controls to them in one place.
class frmMedia : public QWidget {
    Q_OBJECT
public:
    explicit frmMedia(AppContext& ctx, QWidget* parent = nullptr);
    ~frmMedia() override;

    void Form_Initialize();
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload(int& cancel);
    void Label1_MouseDown(int index, int button, int shift, int x, int y);
    void mnuPopUpMotoSize_Click();

    // A component of the window could not be created (the toolkit's error 339); its
    // description says which and why. 0 when the window is complete.
    int creationError() const { return creationError_; }
    QString creationErrorDescription() const { return creationErrorDescription_; }

    AppContext& context() { return ctx_; }

    // Window geometry in twips.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void Move(int left, int top, int width, int height);
    void setWindowSize(int width, int height);
    bool isMinimizedState() const { return isMinimized(); }

    // Where Form_Activate adds the tray icon; the tray code sets it.
    std::function<void()> addTrayIcon;
    // The last step of Form_Load: installs the message hook; the hook code sets it.
    std::function<void()> installMessageHook;
    // Where the end item and Esc run power-off; the power code sets it.
    std::function<void()> powerOff;
    // PopupMenu: shows a menu at the mouse position and returns after the chosen item ran.
    // Tests replace it to see which menu would open.
    std::function<void(QMenu*)> popupMenu;

    // Picture buttons
    SkinButton* cmdPower = nullptr;
    SkinButton* cmdIcon = nullptr;
    SkinButton* cmdOpen = nullptr;
    SkinButton* cmdPlay = nullptr;
    SkinButton* cmdPause = nullptr;
    SkinButton* cmdStop = nullptr;
    SkinButton* cmdRR = nullptr;
    SkinButton* cmdFF = nullptr;
    SkinButton* cmdTop = nullptr;
    SkinButton* cmdPrev = nullptr;
    SkinButton* cmdNext = nullptr;
    SkinButton* cmdBottom = nullptr;
    SkinButton* cmdEject = nullptr;
    SkinButton* cmdUpDrive = nullptr;
    SkinButton* cmdDownDrive = nullptr;

    // Volume
    std::array<VolumeBar*, 1> hscVolume{};
    std::array<SkinOption*, 2> optCdOrAux{};
    std::array<MeterSegment*, 10> lblColor{};

    // Labels
    std::array<LedLabel*, 2> Label2{}; // only element 1 exists
    std::array<LedLabel*, 5> Label1{};
    LedLabel* lblMute = nullptr;
    LedLabel* lblPause = nullptr;
    LedLabel* lblRep = nullptr;
    LedLabel* lblTrackNo = nullptr;
    LedLabel* lblTime = nullptr;
    LedLabel* lblAllTime = nullptr;
    std::array<LedLabel*, 30> lblTracks{};

    // Picture boxes, list, keyboard sink
    PictureBox* picFrame = nullptr;
    PictureBox* picCenter = nullptr;
    PictureBox* fraVideo = nullptr;
    PictureBox* picVideo = nullptr;
    QTreeWidget* lvwFileList = nullptr;
    KeySink* txtDummy = nullptr;
    PictureBox* picTray = nullptr;
    PictureBox* PicDummy = nullptr;

    QTimer* timCD = nullptr;
    QTimer* timScroll = nullptr;

    // Player popup menu
    QMenu* mnuPopUp = nullptr;
    QAction* mnuPopUpMotoSize = nullptr;
    QAction* mnuPopUpPlay = nullptr;
    QAction* mnuPopUpPause = nullptr;
    QAction* mnuPopUpStop = nullptr;
    QAction* mnuPopUpTop = nullptr;
    QAction* mnuPopUpPrev = nullptr;
    QAction* mnuPopUpNext = nullptr;
    QAction* mnuPopUpBottom = nullptr;
    QAction* mnuPopUpEject = nullptr;
    QMenu* mnuPopUpAllSong = nullptr;
    QVector<QAction*> mnuPopUpAllSongs;
    QAction* mnuOptionTaskTray = nullptr;
    QAction* mnuOptionTemae = nullptr;
    QAction* mnuOptionAutoRun = nullptr;
    QAction* mnuHelpVersion = nullptr;
    QAction* mnuHelpHelp = nullptr;
    QAction* mnuPopUpEnd = nullptr;

    // Device menu
    QMenu* mnuDevice = nullptr;
    QAction* mnuDeviceCD = nullptr;
    QAction* mnuDeviceAVI = nullptr;
    QAction* mnuDeviceWAV = nullptr;
    QAction* mnuDeviceMIDI = nullptr;
    QAction* mnuDeviceMP3 = nullptr;

    bool FormActivated = false;
    // The first activation has run to its end: keys and clicks now reach the commands at once.
    bool readyForInput() const { return FormActivated && !activating_; }
    // The device's time format as reported after the first activation set the player's own.
    QString SavedTimeFormat;

    std::unique_ptr<DeviceModes> modes;
    std::unique_ptr<TimeDisplay> timeDisplay;
    std::unique_ptr<TrackGrid> grid;
    std::unique_ptr<RepeatOrder> repeat;
    std::unique_ptr<TitleStore> titles;
    std::unique_ptr<Volume> volume;
    std::unique_ptr<StatusPoller> poller;
    std::unique_ptr<Transport> transport;
    std::unique_ptr<MessageHook> hook;
    std::unique_ptr<KeyTable> keys;
    std::unique_ptr<PowerTray> powerTray;
    std::unique_ptr<DriveSelection> driveSelection;
    std::unique_ptr<TitleEditing> titleEditing;
    std::unique_ptr<OptionsHelp> optionsHelp;
    std::unique_ptr<FileList> fileList;
    std::unique_ptr<OpenFile> openFile;

signals:
    // The grid, the submenu and the titles of the current disc were shown anew.
    void titlesShown();

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

    AppContext& ctx_;
    int creationError_ = 0;
    QString creationErrorDescription_;

private:
    void checkArtwork();
    void createControls();
    void createLabels();
    void createMenus();
    void connectControls();
    void paintSkin();

    QPixmap skin_;
    QPixmap painted_;
    bool activating_ = false;
    bool watchingFirstExpose_ = false;
};
