-- The training log, empty. One row per logged day: its week, day and level,
-- the nine slots of its sets and the date it was logged. The table Test is
-- made at start-up by the program itself.
CREATE TABLE LogDay (
  Week INTEGER NOT NULL DEFAULT 0,
  Day INTEGER NOT NULL DEFAULT 0,
  Level INTEGER NOT NULL DEFAULT 0,
  Rep1 INTEGER NOT NULL DEFAULT 0,
  Rep2 INTEGER NOT NULL DEFAULT 0,
  Rep3 INTEGER NOT NULL DEFAULT 0,
  Rep4 INTEGER NOT NULL DEFAULT 0,
  Rep5 INTEGER NOT NULL DEFAULT 0,
  Rep6 INTEGER NOT NULL DEFAULT 0,
  Rep7 INTEGER NOT NULL DEFAULT 0,
  Rep8 INTEGER NOT NULL DEFAULT 0,
  Rep9 INTEGER NOT NULL DEFAULT 0,
  LogDate TEXT
);
