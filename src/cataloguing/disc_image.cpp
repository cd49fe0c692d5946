#include "cataloguing/disc_image.h"

#include "platform/archive/image_reader.h"
#include "platform/drives/volume_label.h"
#include "platform/system/native_name.h"

#include <QDir>
#include <QHashFunctions>
#include <climits>
#include <cstdint>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace platterly::cataloguing {

namespace {

// How many entries are read between two looks at the cancel flag.
constexpr qint64 kCancelStride = 256;

EntryKind entryKindOf(archive::MemberKind kind)
{
    switch (kind) {
    case archive::MemberKind::Folder:
        return EntryKind::Folder;
    case archive::MemberKind::File:
        return EntryKind::File;
    case archive::MemberKind::Symlink:
        return EntryKind::Symlink;
    case archive::MemberKind::Other:
        break;
    }
    return EntryKind::Other;
}

constexpr std::uint32_t kNone = UINT32_MAX;

// One entry of the image's tree. Names lie in one buffer and children are chained, so a tree
// of any size costs a few allocations. A folder that the image names only through the entries
// in it (zip files often do) has no size and no time.
struct Node
{
    std::uint32_t parent = kNone;
    std::uint32_t nameOffset = 0;
    std::uint32_t nameLength = 0;
    std::uint32_t firstChild = kNone;
    std::uint32_t nextSibling = kNone;
    EntryKind kind = EntryKind::Folder;
    std::optional<qint64> size;
    std::optional<qint64> modified;
};

enum class ReadOutcome
{
    Read,
    Failed,
    Cancelled
};

// The image's directory as a tree: node 0 is the root. A node is found by its parent and its
// name, through a table of its own (open addressing over node numbers).
class ImageTree
{
public:
    ImageTree() : m_slots(1024, kNone) { m_nodes.emplace_back(); }

    ReadOutcome read(const QString& image, const std::atomic<bool>* cancel, QString* error)
    {
        archive::ImageReader reader(image);
        archive::Member member;
        for (qint64 count = 1;; ++count) {
            if (cancel && count % kCancelStride == 0 && cancel->load(std::memory_order_relaxed))
                return ReadOutcome::Cancelled;
            switch (reader.next(member)) {
            case archive::ImageReader::Step::End:
                return ReadOutcome::Read;
            case archive::ImageReader::Step::Failed:
                *error = reader.error();
                return ReadOutcome::Failed;
            case archive::ImageReader::Step::Member:
                record(member);
                break;
            }
        }
    }

    // The folder at `path` below the root ("" for the root), or nullptr.
    const Node* folder(QByteArrayView path) const
    {
        std::uint32_t node = 0;
        while (!path.isEmpty() && node != kNone) {
            const qsizetype slash = path.indexOf('/');
            node = find(node, slash < 0 ? path : path.first(slash));
            path = slash < 0 ? QByteArrayView() : path.sliced(slash + 1);
        }
        if (node == kNone || m_nodes[node].kind != EntryKind::Folder)
            return nullptr;
        return &m_nodes[node];
    }

    const Node& node(std::uint32_t index) const { return m_nodes[index]; }
    QByteArrayView name(const Node& node) const
    {
        return QByteArrayView(m_names.constData() + node.nameOffset, node.nameLength);
    }

private:
    // An archive may name an entry twice (a tar file appended to): the later one wins, and
    // an entry that holds others is a folder whatever the image says of it.
    void record(const archive::Member& member)
    {
        Node& node = m_nodes[nodeFor(member.path)];
        if (node.firstChild == kNone)
            node.kind = entryKindOf(member.kind);
        node.size = node.kind == EntryKind::Folder ? std::nullopt : member.size;
        node.modified = member.modified;
    }

    // The node of `path`, made with the folders that lead to it when the image has not named
    // them yet. Images list a folder's entries one after another, so the parent of the last
    // new entry is kept at hand.
    std::uint32_t nodeFor(QByteArrayView path)
    {
        const qsizetype slash = path.lastIndexOf('/');
        std::uint32_t parent = 0;
        if (slash >= 0 && path.first(slash) == m_lastParentPath) {
            parent = m_lastParent;
        } else if (slash >= 0) {
            QByteArrayView rest = path.first(slash);
            while (!rest.isEmpty()) {
                const qsizetype next = rest.indexOf('/');
                parent = childFor(parent, next < 0 ? rest : rest.first(next));
                rest = next < 0 ? QByteArrayView() : rest.sliced(next + 1);
            }
            m_lastParentPath = path.first(slash).toByteArray();
            m_lastParent = parent;
        }
        return childFor(parent, path.sliced(slash + 1));
    }

    std::size_t slotOf(std::uint32_t parent, QByteArrayView name) const
    {
        return qHash(name, parent) & (m_slots.size() - 1);
    }

    std::uint32_t find(std::uint32_t parent, QByteArrayView name) const
    {
        for (std::size_t slot = slotOf(parent, name);; slot = (slot + 1) & (m_slots.size() - 1)) {
            const std::uint32_t index = m_slots[slot];
            if (index == kNone ||
                (m_nodes[index].parent == parent && this->name(m_nodes[index]) == name))
                return index;
        }
    }

    std::uint32_t childFor(std::uint32_t parent, QByteArrayView name)
    {
        if (const std::uint32_t found = find(parent, name); found != kNone)
            return found;
        const auto index = static_cast<std::uint32_t>(m_nodes.size());
        Node node;
        node.parent = parent;
        node.nameOffset = static_cast<std::uint32_t>(m_names.size());
        node.nameLength = static_cast<std::uint32_t>(name.size());
        node.nextSibling = m_nodes[parent].firstChild;
        m_names.append(name);
        m_nodes.push_back(node);
        m_nodes[parent].firstChild = index;
        m_nodes[parent].kind = EntryKind::Folder;
        if (m_nodes.size() * 2 > m_slots.size())
            rehash();
        else
            place(index);
        return index;
    }

    void place(std::uint32_t index)
    {
        std::size_t slot = slotOf(m_nodes[index].parent, name(m_nodes[index]));
        while (m_slots[slot] != kNone)
            slot = (slot + 1) & (m_slots.size() - 1);
        m_slots[slot] = index;
    }

    void rehash()
    {
        m_slots.assign(m_slots.size() * 2, kNone);
        for (std::uint32_t index = 1; index < m_nodes.size(); ++index)
            place(index);
    }

    std::vector<Node> m_nodes;
    QByteArray m_names;
    std::vector<std::uint32_t> m_slots; // node numbers by (parent, name); a power of 2 long
    QByteArray m_lastParentPath;        // the folder the last new entry went into
    std::uint32_t m_lastParent = 0;
};

// Lists the folders of the tree for ScanFolder, which asks for them by the image's own path
// followed by the names inside it; each name with its size and time from the image.
class ImageLister final : public FolderLister
{
public:
    ImageLister(const ImageTree& tree, QByteArray imagePath)
        : m_tree(tree), m_imagePath(std::move(imagePath))
    {
    }

    ListOutcome list(const QByteArray& nativePath, const ListOptions&,
                     FolderListing& listing) override
    {
        listing.clear();
        if (!nativePath.startsWith(m_imagePath))
            return {ListStatus::NotFound, QStringLiteral("No such entry in the image")};
        QByteArrayView below = QByteArrayView(nativePath).sliced(m_imagePath.size());
        while (below.startsWith('/'))
            below = below.sliced(1);
        while (below.endsWith('/'))
            below.chop(1);
        const Node* folder = m_tree.folder(below);
        if (!folder)
            return {ListStatus::NotAFolder, QStringLiteral("Not a folder")};
        for (std::uint32_t index = folder->firstChild; index != kNone;) {
            const Node& child = m_tree.node(index);
            // The directory gives each entry's size and time: an entry of an image is never
            // looked at as a file of its own.
            const bool isFolder = child.kind == EntryKind::Folder;
            listing.add(m_tree.name(child), child.kind,
                        {isFolder ? std::nullopt : child.size, child.modified});
            index = child.nextSibling;
        }
        return {};
    }

private:
    const ImageTree& m_tree;
    QByteArray m_imagePath;
};

} // namespace

WalkResult ScanImage(const WalkRequest& request, WalkSink& sink)
{
    WalkResult result;
    ImageTree tree;
    switch (tree.read(request.nativeRoot, request.cancel, &result.error)) {
    case ReadOutcome::Failed:
        result.outcome = WalkOutcome::Failed;
        return result;
    case ReadOutcome::Cancelled:
        result.outcome = WalkOutcome::Cancelled;
        return result;
    case ReadOutcome::Read:
        break;
    }
    ImageLister lister(tree, system::nativeBytesFromText(request.nativeRoot));
    return ScanFolder(request, lister, sink);
}

bool isImageFile(const QString& nativePath)
{
    // A pipe or a terminal would keep the reader waiting: only files and block devices (a disc
    // read without mounting it) are read as images.
    struct stat info;
    return ::stat(system::nativeBytesFromText(nativePath).constData(), &info) == 0 &&
           (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode));
}

DiscImage identifyImage(const QString& nativePath, const QString& drivePath)
{
    DiscImage image;
    image.nativePath = QDir::cleanPath(nativePath);
    image.driveRoot = drivePath.endsWith(u'\\') ? drivePath : drivePath + u'\\';
    QString error;
    const std::optional<QString> format = archive::probeImage(image.nativePath, &error);
    if (!format) {
        image.error = error;
        return image;
    }
    image.format = *format;
    // Only disc images carry a volume label; the descriptors are read again here because
    // libarchive does not give the label, and UDF's may be longer than ISO 9660's.
    if (image.format == u"iso9660" && !system::holdsEscapedBytes(image.nativePath))
        image.label = drives::readVolumeLabel(image.nativePath).value_or(QString());
    return image;
}

QString proposedImageTitle(const DiscImage& image)
{
    if (!image.label.trimmed().isEmpty())
        return image.label;
    QString name = image.nativePath.mid(image.nativePath.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    if (name.endsWith(QLatin1String(".tar"), Qt::CaseInsensitive) && name.size() > 4)
        name.chop(4);
    return name;
}

CataloguingRequest imageRequest(const QString& title, const DiscImage& image)
{
    drives::VolumeRecord volume;
    volume.label = image.label;
    volume.fsType = image.format;
    volume.root = image.nativePath;
    volume.driveRoot = image.driveRoot;
    CataloguingRequest request{title, image.nativePath, image.driveRoot, {}, volume};
    request.image = true;
    return request;
}

} // namespace platterly::cataloguing
