#pragma once

// The URL cracking class: splits an address into its parts and derives the
// file name that a download of the address gets.

#include <QString>
#include <cstdint>

class clsWinInet {
public:
    // True when the address could be split; every part is then replaced.
    // False leaves every part as it was.
    bool CrackUrl(const QString& strSourceURL);

    int32_t Scheme() const { return m_scheme; }
    const QString& HostName() const { return m_hostName; }
    int32_t Port() const { return m_port; }
    const QString& UserName() const { return m_userName; }
    const QString& Password() const { return m_password; }
    const QString& URLPath() const { return m_urlPath; }
    const QString& ExtraInfo() const { return m_extraInfo; }
    // The last segment of the path when the path holds a "." after its
    // first character; never "." or "..", never a name holding a separator.
    const QString& URLFileName() const { return m_urlFileName; }

private:
    int32_t m_scheme = 0;
    QString m_hostName;
    int32_t m_port = 0;
    QString m_userName;
    QString m_password;
    QString m_urlPath;
    QString m_extraInfo;
    QString m_urlFileName;
};
