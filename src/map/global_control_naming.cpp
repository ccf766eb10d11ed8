#include "map/global_control_naming.hpp"

#include <algorithm>

#include "text/fields.hpp"

namespace syn {

std::vector<CountedPlace> order_by_count(const std::vector<CountedPlace>& in_arc_order) {
  // Inserting each entry in front of those with the same count is the same
  // as a stable sort of the reversed sequence; this keeps it n log n.
  std::vector<CountedPlace> list(in_arc_order.rbegin(), in_arc_order.rend());
  std::stable_sort(list.begin(), list.end(),
                   [](const CountedPlace& a, const CountedPlace& b) { return a.num > b.num; });
  return list;
}

std::string cell_side_name(const std::string& base, const std::vector<CountedPlace>& side) {
  const std::size_t places = side.size();
  long long sum = 0;
  for (const CountedPlace& entry : side) sum += entry.num;

  if (places == 1 && sum == 1) return base;
  if (places == 1) return base + "OR" + decimal(sum);
  if (sum == static_cast<long long>(places)) return base + "AND" + decimal(sum);
  std::string name = base + "OA";
  for (const CountedPlace& entry : side) name += decimal(entry.num);
  return name;
}

std::string control_cell_name(const std::vector<CountedPlace>& set_list,
                              const std::vector<CountedPlace>& reset_list) {
  return "DC" + cell_side_name("set", set_list) + cell_side_name("reset", reset_list) + "_0";
}

std::string backward_net_name(int instance, const std::vector<backward_group>& producers) {
  std::string name = "I" + decimal(instance) + "bk";
  for (const backward_group& producer : producers) {
    name += "_I" + decimal(producer.producer_instance) + producer.groups;
  }
  return name;
}

}  // namespace syn
