#pragma once
// The commands of tarvik-cli. Each takes the arguments after the command name (the common
// options already applied) and returns the exit code.
#include <string>
#include <vector>

namespace tarvik::cli {

// catalogue dump FILE | catalogue build SOURCE.json OUT: catalogue files as JSON and back.
int RunCatalogue(std::vector<std::string>& args);

// size [FILE|-] [--log PATH] [--p2-drop]: sizes one valve position given as JSON.
int SizeCommand(std::vector<std::string>& args);

// steam --pressure P [--pressure-unit U] [--temperature T] [--temperature-unit U]
int SteamCommand(std::vector<std::string>& args);

// Project files (extension .tkp): dump PROJECT, load JSON PROJECT, export summary|spec PROJECT,
// candidates PROJECT --position NAME [--all], calc PROJECT [--position NAME] [--save] [--log PATH].
int DumpCommand(std::vector<std::string>& args);
int LoadCommand(std::vector<std::string>& args);
int ExportCommand(std::vector<std::string>& args);
int CandidatesCommand(std::vector<std::string>& args);
int CalcCommand(std::vector<std::string>& args);

// pipes import WORKBOOK [--into FILE]: appends a workbook's pipe table to a pipe file (default:
// potrubi.tkd of the program folder).
int PipesCommand(std::vector<std::string>& args);
// drawing PROJECT --position NAME --out FILE [--layers SPEC]: the position's dimension drawing.
int DrawingCommand(std::vector<std::string>& args);
// print PROJECT --pdf OUT [--landscape] [--drawings] [--second-language] [--position NAME]...:
// the calculation sheets of the positions as one PDF.
int PrintCommand(std::vector<std::string>& args);
// actuator --type CODE --dp MPA [--diameter MM] [--packing CLASS] [--dn DN] [--kind K] ...: the
// required actuator force or torque and the fitting actuators.
int ActuatorCommand(std::vector<std::string>& args);
// spec [apply] PROJECT --position NAME [--save]: a position's specification items, title block,
// order code and designations as JSON; "apply" runs the specification sheet over the stored items.
int SpecCommand(std::vector<std::string>& args);
// update [--dry-run] [--yes]: compares the program folder with the update server of tarvik.ini
// and prints the plan as JSON; --yes downloads it. Exit 1 when a file or the server failed.
int UpdateCommand(std::vector<std::string>& args);

}  // namespace tarvik::cli
