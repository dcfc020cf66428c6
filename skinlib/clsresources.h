#pragma once

// The one creatable class of a skin library: the skin's pictures and string
// parameters by identifier. Called by name through its invokable methods; a
// missing identifier is reported to the caller as error 326.

#include <QObject>
#include <QVariant>

class clsResources : public QObject {
    Q_OBJECT
public:
    clsResources();
    ~clsResources() override;

    // The picture ResourceIndex of kind restype (0 = bitmap) as a QImage.
    Q_INVOKABLE QVariant GetResourcePicture(qint16 ResourceIndex, qint16 restype);
    // String ResourceIndex of the skin's string table.
    Q_INVOKABLE QVariant GetResourceString(qint16 ResourceIndex);

    // Objects of this class alive in the process.
    static int liveObjects();
};
