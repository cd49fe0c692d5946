#include "cataloguing/image_walk.h"

#include "platform/archive/image_reader.h"
#include "platform/system/native_name.h"

#include <QHash>
#include <cstdint>
#include <optional>
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

// One entry of the image's tree. A folder that the image names only through the entries in it
// (zip files often do) has no size and no time.
struct Node
{
    QByteArray name;
    EntryKind kind = EntryKind::Folder;
    std::optional<qint64> size;
    std::optional<qint64> modified;
    std::vector<std::uint32_t> children;
};

enum class ReadOutcome
{
    Read,
    Failed,
    Cancelled
};

// The image's directory as a tree: node 0 is the root, every other node is found by its path.
class ImageTree
{
public:
    ImageTree() { m_nodes.emplace_back(); }

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
        if (path.isEmpty())
            return &m_nodes.front();
        const auto found = m_byPath.constFind(path.toByteArray());
        if (found == m_byPath.constEnd() || m_nodes[*found].kind != EntryKind::Folder)
            return nullptr;
        return &m_nodes[*found];
    }

    const Node& node(std::uint32_t index) const { return m_nodes[index]; }

private:
    // An archive may name an entry twice (a tar file appended to): the later one wins, and
    // an entry that holds others is a folder whatever the image says of it.
    void record(const archive::Member& member)
    {
        Node& node = m_nodes[nodeFor(member.path)];
        if (node.children.empty())
            node.kind = entryKindOf(member.kind);
        node.size = member.kind == archive::MemberKind::File ? member.size : std::nullopt;
        node.modified = member.modified;
    }

    // The node of `path`, made with the folders that lead to it when the image has not named
    // them yet.
    std::uint32_t nodeFor(const QByteArray& path)
    {
        if (const auto found = m_byPath.constFind(path); found != m_byPath.constEnd())
            return *found;
        const qsizetype slash = path.lastIndexOf('/');
        const std::uint32_t parent = slash < 0 ? 0 : nodeFor(path.left(slash));
        const auto index = static_cast<std::uint32_t>(m_nodes.size());
        Node node;
        node.name = path.mid(slash + 1);
        m_nodes.push_back(std::move(node));
        m_nodes[parent].kind = EntryKind::Folder;
        m_nodes[parent].children.push_back(index);
        m_byPath.insert(path, index);
        return index;
    }

    std::vector<Node> m_nodes;
    QHash<QByteArray, std::uint32_t> m_byPath;
};

// Lists the folders of the tree for ScanFolder, which asks for them by the image's own path
// followed by the names inside it.
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
        for (const std::uint32_t index : folder->children) {
            const Node& child = m_tree.node(index);
            listing.add(child.name, child.kind);
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

} // namespace platterly::cataloguing
