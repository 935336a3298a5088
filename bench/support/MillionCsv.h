#pragma once
// The benchmarks' file of a million records of 8 fields (about 100 MB of
// UTF-8, Japanese and ASCII, quoted fields among them), made once in the
// system's temporary folder and kept between runs; QUILLARY_MILLION_CSV
// names another.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace quillary::testing {

inline constexpr int kMillionRecords = 1000000;

inline std::filesystem::path MillionCsv() {
  if (const char* named = std::getenv("QUILLARY_MILLION_CSV")) return named;
  const auto path = std::filesystem::temp_directory_path() / "quillary-million-8.csv";
  if (std::filesystem::exists(path)) return path;
  static const char* const kNames[] = {"りんご", "みかん",   "東京都千代田区", "大阪府大阪市北区",
                                       "ぶどう", "カタカナ", "漢字の商品名"};
  std::ofstream out(path, std::ios::binary);
  out << "番号,商品名,分類,価格,在庫,住所,コード,説明\r\n";
  std::string line;
  for (int r = 1; r <= kMillionRecords; ++r) {
    const int mix = static_cast<int>((static_cast<unsigned>(r) * 2654435761u) % 1000003u);
    line = std::to_string(r) + "," + kNames[mix % 7] + " " + std::to_string(mix % 977) + ",分類" +
           std::to_string(mix % 13) + "," + std::to_string(mix % 99991) + "," + std::to_string(mix % 500) + "," +
           kNames[(mix / 7) % 7] + std::to_string(mix % 89) + "丁目,SKU-" + std::to_string(mix) +
           ",\"説明, \"\"引用\"\" あり\"\r\n";
    out << line;
  }
  return path;
}

}  // namespace quillary::testing
