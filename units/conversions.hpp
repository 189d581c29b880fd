#pragma once
// Conversions of entered values to the internal units of the calculation and back.
// Internal units: pressure MPa, temperature "°K", liquid flow m3/h, gas flow kg/h (W) or Nm3/h
// (Q0), kinematic viscosity m2/s, density kg/m3, lengths mm. Unit names are compared exactly.
// A unit name without a rule leaves the value unchanged. A conversion that needs a density of 0
// shows message 63003 and leaves the value (gas flow: both outputs 0).
#include <string>

namespace tarvik {

double PressureToInternal(const std::string& unit, double value);
double PressureFromInternal(const std::string& unit, double mpa);
double GaugeToAbsolute(double mpa, bool gauge);  // + 0.1013 MPa when gauge
double TemperatureConvert(const std::string& from, double value, const std::string& to);
double LiquidFlowToInternal(const std::string& unit, double value, double rho);
void GasFlowToInternal(const std::string& unit, double value, double rho, double& Q0, double& W);
double ViscosityToInternal(const std::string& unit, double value, double rho);
double ViscosityFromInternal(const std::string& unit, double m2s, double rho);
double NormalToOperatingDensity(double T1, double p1, double rhoN);
double OperatingToNormalDensity(double T1, double p1, double rho);
double LengthFromInternal(const std::string& unit, double mm);

}  // namespace tarvik
