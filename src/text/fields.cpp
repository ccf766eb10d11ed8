#include "text/fields.hpp"

namespace syn {

int check_substring(std::string_view, std::string_view) { return 2; }
std::string get_first_substring(std::string_view) { return {}; }
std::optional<std::string> get_ith_substring(int, std::string_view) { return {}; }
int get_ith_item_position(int, std::string_view) { return 0; }
std::optional<std::string> get_ith_substring_ours(int, std::string_view) { return {}; }
std::string get_last_substring(std::string_view) { return {}; }
int string_to_i(std::string_view) { return 0; }
int get_datasize(std::string_view) { return 1; }
std::string i_to_string(long long i) { return std::to_string(i); }
std::string i_to_string_by_n(long long, int) { return {}; }
std::optional<std::string> get_array_name(std::string_view) { return {}; }
std::string_view without_line_end(std::string_view s) {
  return !s.empty() && s.back() == '\n' ? s.substr(0, s.size() - 1) : s;
}

}  // namespace syn
