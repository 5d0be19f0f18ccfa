#pragma once
// Writing a program so that its real name never shows half a file: the data
// goes to a temporary name in the target's directory, is flushed to the disk,
// and is renamed over the target in one step. Paths are station paths.
// Every call reports through an errno-style code (0 = success) and never
// throws.

#include <string>
#include <string_view>

namespace zova {

class AtomicWriter {
 public:
  AtomicWriter() = default;
  ~AtomicWriter();  // an uncommitted temporary is removed
  AtomicWriter(const AtomicWriter&) = delete;
  AtomicWriter& operator=(const AtomicWriter&) = delete;

  // Creates the temporary beside Target. With KeepOld the current contents of
  // Target (when it exists) are copied in first, so an append is atomic too.
  int Open(std::string_view target, bool keepOld = false);
  int Write(const char* data, size_t n);
  // Flush, fsync, rename over the target, fsync the directory.
  int Commit();
  void Abort();
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& TempPath() const { return temp_; }  // file-system path

 private:
  int fd_ = -1;
  std::string temp_, target_;
};

// A hard link of Source as Target (replacing it), else a copy through a
// temporary. For keeping the previous version while it stays in place.
int LinkOrCopy(std::string_view source, std::string_view target);
// Rename, or across file systems a copy and removal of the source.
int MoveFile(std::string_view source, std::string_view target);
// Copy through AtomicWriter.
int CopyFileAtomic(std::string_view source, std::string_view target);
// 0 also when the file does not exist.
int RemoveFile(std::string_view path);

}  // namespace zova
