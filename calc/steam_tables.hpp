#pragma once
// Water and steam properties (IAPWS-IF97 regions 1 to 4 and B23, IAPWS 1985 viscosity) with the
// program's own ranges. Units: K, MPa absolute, kg/m3, kJ/kg, m/s, Pa s. Every function returns
// 0 outside its range.
namespace tarvik {

// Critical pressure of water offered to the form for pc (not the IF97 value 22.064).
constexpr double kWaterCriticalPressureForForm = 22.12;

double BoundaryPressure(double T);     // saturation pressure, B23 pressure above 623.15 K
double BoundaryTemperature(double p);  // saturation temperature, B23 temperature above 16.529 MPa
double LiquidDensity(double T, double p);
double LiquidEnthalpy(double T, double p, double rho);
double LiquidSoundSpeed(double T, double p, double rho);
double VapourDensity(double T, double p);
double VapourEnthalpy(double T, double p);
double VapourSoundSpeed(double T, double p);
double WaterViscosity(double T, double p, double rho);

}  // namespace tarvik
