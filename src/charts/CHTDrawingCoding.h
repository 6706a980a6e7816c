#pragma once
// Registers the drawing classes of the charts (colours, gradients, fills,
// images, styles, layers, annotations) with the keyed unarchiver. Called by
// CHTRegisterCodingClasses().
void CHTRegisterDrawingCodingClasses();
