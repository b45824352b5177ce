#pragma once

#include <QString>

#include <cstdint>
#include <string>

// The user's own folders where the program keeps what belongs beside a catalogue but must never
// lie beside it: journals of rewrites (the state folder), locks of open catalogues (the runtime
// folder) and the kept versions (the data folder). Each is the program's "dyskar" folder inside
// the user's one; none is made before it is needed.
namespace UserFolders {

// $XDG_STATE_HOME/dyskar, by default ~/.local/state/dyskar.
QString State();
// $XDG_RUNTIME_DIR/dyskar, or the state folder where there is no runtime folder.
QString Runtime();
// $XDG_DATA_HOME/dyskar, by default ~/.local/share/dyskar.
QString Data();
// Makes a folder and the folders above it that are missing (0700); false with errno set.
bool Make(const QString& Folder);

// A short stable name for a catalogue's path (16 hexadecimal digits of its hash).
QString PathTag(const std::string& Path);
// The 64-bit FNV-1a hash of bytes, as journals check the bytes of a file with it.
std::uint64_t Fnv1a(const char* Bytes, std::size_t Size,
                    std::uint64_t Hash = 14695981039346656037ull);

} // namespace UserFolders
