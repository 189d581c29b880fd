#pragma once
// Dynamic viscosity of ordinary water substance by the IAPWS formulation 1985 (ITS-90 revision),
// without the critical enhancement, as used for industrial calculations.
namespace tarvik {

// mu(T, rho) in Pa s for T in K and rho in kg/m3; no range check. 0 for T <= 0 or rho <= 0.
double ViscosityIapws85(double T, double rho);

}  // namespace tarvik
