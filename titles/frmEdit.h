#pragma once

#include <QDialog>

struct AppContext;
class ListBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SkinButton;

// The album editor: album title, artist, one title per track and the title strip's font of
// the current disc. It edits the shared title state; the caller saves it after OK.
class frmEdit : public QDialog {
    Q_OBJECT
public:
    // `mainWindow` owns the font dialog and is put back on top when this one closes.
    frmEdit(AppContext& ctx, QWidget* mainWindow);

    void Form_Initialize();
    void Form_Load();
    void Form_Activate();
    void Form_QueryUnload(int& cancel, int mode);

    void lstTracks_Click();
    void lstTracks_DblClick();
    void cmdFont_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

    // The entry of track `track` (1-based) with `title`: "03 Intro", "03 " when untitled.
    static QString entryText(int track, const QString& title);
    // The title an entry stands for: its text from the fourth character on.
    static QString entryTitle(const QString& entry);

    QLabel* lblAlbum = nullptr;
    QLineEdit* txtAlbumTitle = nullptr;
    SkinButton* cmdFont = nullptr;
    QLabel* lblArtist = nullptr;
    QLineEdit* txtArtist = nullptr;
    QLabel* lblTrack = nullptr;
    QLineEdit* txtTrack = nullptr;
    ListBox* lstTracks = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOk = nullptr;

    bool FirstActivated = false;

public slots:
    void done(int result) override;

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void createControls();
    void applyTitleFont();

    AppContext& ctx_;
    QWidget* mainWindow_;
    QPixmap background_;
};
