#pragma once
// The file side of a directory listing: which entries a directory has for a
// request's mask, and their article and description from the directory's
// index file "ArtIndex.Bin" when there is one.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "files/storage/dir_listing.h"

namespace zova {

struct ArticleInfo {
  std::string article, description;
};

// The index: one record a line, "NAME;ARTICLE;DESCRIPTION" (CR LF or LF),
// names compared upper-cased. Lines without a ";" are skipped, so a file in
// another layout gives blank columns rather than wrong ones.
std::map<std::string, ArticleInfo> ParseArticleIndex(std::string_view data);
// Data with the record of Name set to Info: the record replaced where it
// is, else added at the end; every other line kept as it was. A ";" or line
// end inside a field becomes a blank.
std::string WithArticleRecord(std::string_view data, std::string_view name,
                              const ArticleInfo& info);
// Enters Name with Info in the index of Dir (written whole, then renamed
// into place). False when the index could not be written.
bool EnterInArticleIndex(const std::string& dir, std::string_view name, const ArticleInfo& info);
void ApplyArticleIndex(std::vector<ListingEntry>& entries,
                       const std::map<std::string, ArticleInfo>& index);

// Files of Dir that match Mask, with size and date; its subdirectories too
// when WithDirs. Order is left to BuildDirectoryListing.
std::vector<ListingEntry> CollectListingEntries(const std::string& dir, std::string_view mask,
                                                bool withDirs);

}  // namespace zova
