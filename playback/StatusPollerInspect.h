#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class frmMedia;

// A test hook at the platform boundary: when KOBALTUNE_INSPECT names a file, the window's
// read-out, button states and polling flags are written there as a small JSON object
// five times a second when it has changed, so that an end-to-end test driving the real program with keys can
// see what the panel shows.
class StatusPollerInspect : public QObject {
public:
    StatusPollerInspect(frmMedia& form, QString path);

    // An inspector for the path in KOBALTUNE_INSPECT, or none when it is not set.
    static std::unique_ptr<StatusPollerInspect> fromEnvironment(frmMedia& form);

    void writeSnapshot();

private:
    void writeModal(QJsonObject& o) const;
    // The file list: item count, the selected item, where the second item is, the open
    // dialog's title, and how much of the video box is lit.
    void addFileList(QJsonObject& o) const;

    frmMedia& form_;
    QString path_;
    QByteArray written_; // what the file holds now
    QTimer timer_;
};
