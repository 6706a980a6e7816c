#pragma once
// Registers the plot classes (plot symbols, scatter and bar plots) with the
// keyed unarchiver. Called by CHTRegisterCodingClasses().
void CHTRegisterPlotCodingClasses();
