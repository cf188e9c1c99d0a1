#pragma once

#include <QByteArrayView>

#include <vector>

// The relative paths of the recursive file list, kept in one block: a path costs its bytes, a
// NUL and its offset, not an allocation of its own, so that millions of files fit. A path is
// read as a view, NUL-terminated in the block; views stay valid until the list changes.
class PathList {
public:
    void clear();
    // Appends folder followed by name as one path.
    void append(QByteArrayView folder, QByteArrayView name);

    std::size_t size() const { return starts_.size(); }
    bool empty() const { return starts_.empty(); }
    QByteArrayView operator[](std::size_t index) const;

private:
    std::vector<char> bytes_;
    std::vector<std::size_t> starts_;
};
