#pragma once

// What the main window asks of the downloads.

class IDownloadsService {
public:
    virtual ~IDownloadsService() = default;
    virtual const char* implementationName() const = 0;

    virtual void RefreshDownloadStatusFrames() = 0;
};
