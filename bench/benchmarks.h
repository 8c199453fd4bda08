#pragma once

// The benchmark families; each adds its rows to the table.

#include "bench/harness/table.h"

#include <QString>

namespace duva::bench
{

struct Options {
    int runs = 5;
    // For the fleet rows: duvactl and duva-sim, and the network namespace the simulated
    // modules live in (the bench itself runs in the configurator's). Empty: rows skipped.
    QString duvactl;
    QString sim;
    QString modulesNamespace;
};

void benchReplies(Table& table, const Options& options);
void benchSeries(Table& table, const Options& options);
void benchStartup(Table& table, const Options& options);
void benchFloods(Table& table, const Options& options);
void benchTimer2(Table& table, const Options& options);
void benchFleet(Table& table, const Options& options);
void benchLargeFleet(Table& table, const Options& options);
void benchCommission(Table& table, const Options& options);
void benchFrota(Table& table, const Options& options);

// The start-up rows' child: this program again, started with --startup-child MODE.
int startupChild(int argc, char** argv, const QString& mode);
// The fleet window rows' child: this program again, started with --frota-child MODE.
int frotaChild(int argc, char** argv, const QString& mode);

} // namespace duva::bench
