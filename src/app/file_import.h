// File > Import...: a calendar or contacts file chosen by the user is brought into the data
// folder, the outcome shown in one message, and the calendar's markers and the open views
// follow the files.
#pragma once

class QWidget;

namespace FileImport {

void ImportChosenFile(QWidget *parent);

} // namespace FileImport
