#include "RollbackJournal.h"

#include "FileBytes.h"
#include "SystemError.h"
#include "UserFolders.h"

#include <QFile>

#include <cerrno>
#include <charconv>
#include <string_view>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::string_view kMagic = "DYSKAR ROLLBACK JOURNAL 1\n";

int ReadAll(const std::string& Path, std::string& Bytes)
{
    const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    Bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return error;
        }
        if (n == 0)
            break;
        Bytes.append(buffer, std::size_t(n));
    }
    ::close(fd);
    return 0;
}

// "name number\n" at Pos, advancing it; false when the text is not so.
bool Field(std::string_view Text, std::size_t& Pos, std::string_view Name, std::uint64_t& Value)
{
    if (Text.substr(Pos, Name.size() + 1) != std::string(Name) + " ")
        return false;
    Pos += Name.size() + 1;
    const std::size_t end = Text.find('\n', Pos);
    if (end == std::string_view::npos)
        return false;
    const auto [ptr, error] = std::from_chars(Text.data() + Pos, Text.data() + end, Value);
    if (error != std::errc() || ptr != Text.data() + end)
        return false;
    Pos = end + 1;
    return true;
}

std::string Line(std::string_view Name, std::uint64_t Value)
{
    return std::string(Name) + " " + std::to_string(Value) + "\n";
}

} // namespace

struct TRollbackJournal::TContent
{
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::uint64_t NewLength = 0;
    std::uint64_t NewSum = 0;
    std::string Old;
};

TRollbackJournal::TRollbackJournal(std::string Target)
    : m_Target(std::move(Target)),
      m_Path(UserFolders::State() + QStringLiteral("/journal-") + UserFolders::PathTag(m_Target))
{
}

int TRollbackJournal::Write(const struct stat& Identity, const std::string& Old,
                            const std::string& New)
{
    if (!UserFolders::Make(UserFolders::State()))
        return errno;
    std::string head(kMagic);
    head += Line("device", Identity.st_dev) + Line("inode", Identity.st_ino);
    head += Line("path", m_Target.size()) + m_Target + "\n";
    head += Line("new", New.size()) + Line("new-sum", UserFolders::Fnv1a(New.data(), New.size()));
    head += Line("old", Old.size());
    // The sum closes the journal: one cut off while it was written is known as such.
    std::uint64_t sum = UserFolders::Fnv1a(head.data(), head.size());
    sum = UserFolders::Fnv1a(Old.data(), Old.size(), sum);
    const std::string tail = "\n" + Line("end", sum);
    const std::string path = QFile::encodeName(m_Path).toStdString();
    const std::string temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    int error = FileBytes::WriteAt(fd, head, 0);
    if (error == 0)
        error = FileBytes::WriteAt(fd, Old, off_t(head.size()));
    if (error == 0)
        error = FileBytes::WriteAt(fd, tail, off_t(head.size() + Old.size()));
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0)
        error = errno;
    if (error == 0)
        error = FileBytes::SyncFolder(QFile::encodeName(UserFolders::State()).toStdString());
    if (error != 0)
        ::unlink(temp.c_str());
    return error;
}

int TRollbackJournal::Remove()
{
    if (::unlink(QFile::encodeName(m_Path).constData()) != 0 && errno != ENOENT)
        return errno;
    return FileBytes::SyncFolder(QFile::encodeName(UserFolders::State()).toStdString());
}

bool TRollbackJournal::Read(TContent& Content) const
{
    std::string bytes;
    if (ReadAll(QFile::encodeName(m_Path).toStdString(), bytes) != 0)
        return false;
    const std::string_view text = bytes;
    if (text.substr(0, kMagic.size()) != kMagic)
        return false;
    std::size_t pos = kMagic.size();
    std::uint64_t pathLength = 0;
    std::uint64_t oldLength = 0;
    if (!Field(text, pos, "device", Content.Device) || !Field(text, pos, "inode", Content.Inode) ||
        !Field(text, pos, "path", pathLength) || pos + pathLength + 1 > text.size())
        return false;
    pos += pathLength + 1;
    if (!Field(text, pos, "new", Content.NewLength) ||
        !Field(text, pos, "new-sum", Content.NewSum) || !Field(text, pos, "old", oldLength) ||
        pos + oldLength + 1 > text.size())
        return false;
    const std::size_t head = pos;
    Content.Old.assign(text.substr(pos, oldLength));
    pos += oldLength + 1;
    std::uint64_t sum = 0;
    if (!Field(text, pos, "end", sum) || pos != text.size())
        return false;
    std::uint64_t expected = UserFolders::Fnv1a(text.data(), head);
    expected = UserFolders::Fnv1a(Content.Old.data(), Content.Old.size(), expected);
    return sum == expected;
}

int TRollbackJournal::RollBack(const TContent& Content) const
{
    const int fd = ::open(m_Target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = FileBytes::WriteAt(fd, Content.Old, 0);
    if (error == 0 && ::ftruncate(fd, off_t(Content.Old.size())) != 0)
        error = errno;
    if (error == 0 && ::fdatasync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

TRollbackJournal::TRecovery TRollbackJournal::Recover()
{
    if (!QFile::exists(m_Path))
        return {};
    TContent content;
    if (!Read(content)) {
        // Cut off while it was written: the rewrite never began, and the file is as it was.
        Remove();
        return {};
    }
    struct stat now = {};
    if (::stat(m_Target.c_str(), &now) != 0 || std::uint64_t(now.st_dev) != content.Device ||
        std::uint64_t(now.st_ino) != content.Inode)
        return {joOtherFile, {}};
    std::string bytes;
    if (ReadAll(m_Target, bytes) == 0 && bytes.size() == content.NewLength &&
        UserFolders::Fnv1a(bytes.data(), bytes.size()) == content.NewSum) {
        Remove();
        return {joFinished, {}};
    }
    if (const int error = RollBack(content))
        return {joFailed, SystemErrorText(error)};
    if (const int error = Remove())
        return {joFailed, SystemErrorText(error)};
    return {joRolledBack, {}};
}
