// The recent-file list of the File menu: four entries kept in the user's settings under the
// organisation "ZEMPLA DESIGN FIRM" and the application "Vorla_DORAZ".
#pragma once

#include <QStringList>

class CRecentFileList {
public:
    static constexpr int kSize = 4;

    CRecentFileList();
    const QStringList& Files() const { return m_files; }
    // Puts `path` first, dropping it from further down and the oldest beyond four.
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void Save() const;
    QStringList m_files;
};
