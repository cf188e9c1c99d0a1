#include "path_list.h"

void PathList::clear()
{
    bytes_ = {};
    starts_ = {};
}

void PathList::append(QByteArrayView folder, QByteArrayView name)
{
    starts_.push_back(bytes_.size());
    bytes_.insert(bytes_.end(), folder.begin(), folder.end());
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    bytes_.push_back('\0');
}

QByteArrayView PathList::operator[](std::size_t index) const
{
    const std::size_t start = starts_[index];
    const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : bytes_.size();
    return QByteArrayView(bytes_.data() + start, qsizetype(end - start - 1));
}
