-- Fuel-consumption measuring types. TYPE is the code the setup stores (0: none).
INSERT INTO FUEL_CONSUMPTION (TYPE, DESCRIPTION, MESSAGE) VALUES
  (0, 'None', 'Fuel consumption is not measured.'),
  (1, 'J1939 Engine Fuel Rate', 'The fuel rate is read from the engine''s J1939 message Fuel Economy (PGN 65266, SPN 183). CAN must be enabled on the Main page.'),
  (2, 'J1587 Fuel Rate', 'The fuel rate is read from the engine''s J1587 parameter Fuel Rate (PID 183). CAN must be enabled on the Main page.'),
  (3, 'J1939 Total Fuel Used', 'The consumption is calculated from the change of the engine''s J1939 total fuel used (PGN 65257, SPN 250). CAN must be enabled on the Main page.'),
  (4, 'Flow Meters, Supply and Return', 'The consumption is the difference of two pulse flow meters, one in the supply line and one in the return line.');
