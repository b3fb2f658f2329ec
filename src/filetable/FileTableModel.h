// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/AppNotification+Typed.h"
#include "filetable/FileTableColumn.h"
#include "filetable/FileTableFilter.h"
#include "filetable/FileTableTextTint.h"
#include "files/File.h"
#include "files/FileComponents.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <functional>
#include <memory>
#include <optional>

class FileDataSource;

// The rows of the file table: the files of the store that the filter shows, in
// display order. It keeps the store's last snapshot (the facet lists are shared,
// not copied) and the storage index of every shown row; a cell reads its file
// from there when it is painted.
class FileTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        TintRole = Qt::UserRole + 1, // FileTableTextTint as int
        BusyRole,                    // the new name is still being worked out
        LateUpdateRole,              // the file waits for a single-file transformation
        FileRole,                    // the File of the row
        StorageIndexRole,            // its storage index in the store
    };

    explicit FileTableModel(QObject* parent = nullptr);

    void setFileDataSource(std::shared_ptr<FileDataSource> fileDataSource);
    const std::shared_ptr<FileDataSource>& fileDataSource() const { return m_fileDataSource; }
    // Answers whether a Select rule is in force for the rules; without it every
    // row counts as selected.
    void setSelectRuleInForce(std::function<bool()> selectRuleInForce);

    FileTableFilter filter;

    // Rebuilds the rows from the store through the filter. Rows that stay the same
    // files are refreshed in place (all, or only `rows`); a changed row list resets
    // the model. Answers whether it reset.
    bool reloadData(const std::optional<IndexSet>& rows = std::nullopt);

    // False while there is no store: the table has no rows at all.
    bool hasFilesView() const { return m_hasFilesView; }
    int fileCount() const { return static_cast<int>(m_rows.size()); }
    // The file of a shown row, assembled from the snapshot; none outside the rows.
    std::optional<File> fileAt(int row) const;
    const FileComponents& snapshot() const { return m_snapshot; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Rows are dragged with their row numbers and the first row's file URL.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

    // The per-file facts the cells show.
    bool getIsSelectedState(const File& file) const;
    static bool isHidden(const File& file);
    static bool isBusy(const File& file);
    static FileTableTextTint originalTint(bool selected, bool hidden);
    static FileTableTextTint transformedTint(const File& file, bool toBeChanged, bool selected);
    static std::optional<QString> toolTip(const File& file);
    static const QIcon& getIcon(const File& file);
    static const QIcon& getIcon(const File& file, bool toBeChanged);
    static const QIcon& originalIcon(const File& file, FileTableTextTint tint);
    static QString cellText(const File& file, FileTableColumn column);

private:
    struct CachedRow {
        int row = -1;
        File file;
        bool toBeChanged = false;
    };
    const CachedRow* cachedRow(int row) const;

    std::shared_ptr<FileDataSource> m_fileDataSource;
    std::function<bool()> m_selectRuleInForce;
    FileComponents m_snapshot;
    QList<int> m_rows; // row -> storage index
    bool m_hasFilesView = false;

    // The file of the last row read: a paint asks for many roles of one row.
    mutable std::optional<CachedRow> m_cache;
};
