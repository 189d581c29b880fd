#pragma once
// The values of the condition variables for one valve position, recomputed when its
// specification is opened: the largest or smallest operating-point value of a quantity, or one
// of the position's single values, converted into the variable's unit.
#include "data/conditions.hpp"
#include "project/project_document.hpp"

namespace tarvik {

// Recomputes every variable in list order. Source "pa" takes the largest value of quantity
// `index` over the enabled points, "pi" the smallest, "v" the position's single value `index`
// (0 Kvs, 12 maximum pressure, 13 maximum temperature). The units of the points are the position's
// units of the quantity; those of the single values are its maximum-pressure and
// maximum-temperature units. A variable whose source gives no value (another source, an index
// out of range, no enabled point) or whose conversion is not finite keeps its value.
void UpdateConditionValues(ConditionVariableList& vars, const ValvePosition& position);

}  // namespace tarvik
