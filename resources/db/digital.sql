-- J1939 switch-type parameters: a two-bit state (00 off, 01 on) in byte POSITION (from 1),
-- shifted right by SHR to reach it. ID as in J1939.
INSERT INTO CAN_DIGITAL (DESCRIPTION, ID, POSITION, SIZE, SHR, TIMEOUT, PGN, SPN) VALUES
  ('Water In Fuel Indicator', '18FEFF00', 1, 1, 0, 10, 65279, 97),
  ('Red Stop Lamp (Engine)', '18FECA00', 1, 1, 4, 10, 65226, 623),
  ('Red Stop Lamp (Transmission)', '18FECA03', 1, 1, 4, 10, 65226, 623),
  ('Parking Brake Switch', '18FEF100', 1, 1, 2, 5, 65265, 70),
  ('Cruise Control Active', '18FEF100', 4, 1, 0, 5, 65265, 595),
  ('Cruise Control Set Switch', '18FEF100', 5, 1, 0, 5, 65265, 599),
  ('Accelerator Pedal 1 Low Idle Switch', '0CF00300', 1, 1, 0, 5, 61443, 558),
  ('Engine Idle Shutdown has Shutdown Engine', '18FEE400', 1, 1, 0, 10, 65252, 593),
  ('Engine Protection System has Shutdown Engine', '18FEE400', 4, 1, 0, 10, 65252, 1110),
  ('PTO Enable Switch', '18FEF000', 6, 1, 0, 5, 65264, 980),
  ('PTO Set Switch', '18FEF000', 7, 1, 0, 5, 65264, 984),
  ('Auxiliary I/O #01', '18FED900', 1, 1, 6, 10, 65241, 701),
  ('Auxiliary I/O #05', '18FED900', 2, 1, 6, 10, 65241, 705),
  ('Auxiliary I/O #09', '18FED900', 3, 1, 6, 10, 65241, 709),
  ('Auxiliary I/O #13', '18FED900', 4, 1, 6, 10, 65241, 713),
  ('Transmission Neutral Switch', '18FEC303', 2, 1, 2, 5, 65219, 604);

-- J1587 switch-type parameters, engine #1 (MID 128): one status bit (bit 8 is SHR 7)
-- or a two-bit lamp state.
INSERT INTO J1587_DIGITAL (DESCRIPTION, MID, PID, PPID, SIZE, SHR, TIMEOUT) VALUES
  ('Red Stop Lamp', 128, 44, 0, 1, 0, 10),
  ('Parking Brake Switch', 128, 70, 0, 1, 7, 10),
  ('Idle Shutdown Timer Active', 128, 71, 0, 1, 7, 10),
  ('Road Speed Limit Active', 128, 83, 0, 1, 7, 10),
  ('Cruise Control Switch', 128, 85, 0, 1, 7, 10),
  ('PTO Mode Active', 128, 89, 0, 1, 7, 10),
  ('Water In Fuel Indicator', 128, 97, 0, 1, 7, 10);
