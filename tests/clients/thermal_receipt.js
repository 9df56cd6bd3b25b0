// A shop receipt sent by node-thermal-printer (Epson mode) to tcp://HOST:PORT.
const { ThermalPrinter, PrinterTypes, CharacterSet } = require('node-thermal-printer');

const [host, port] = process.argv.slice(2);

(async () => {
  const printer = new ThermalPrinter({
    type: PrinterTypes.EPSON,
    interface: `tcp://${host}:${port}`,
    characterSet: CharacterSet.PC437_USA,
    width: 42,
    options: { timeout: 5000 },
  });
  printer.alignCenter();
  printer.setTextDoubleHeight();
  printer.bold(true);
  printer.println('CORNER SHOP');
  printer.bold(false);
  printer.setTextNormal();
  printer.println('12 Market Street');
  printer.alignLeft();
  printer.println('Bread                                 2.40');
  printer.println('Milk 1l                               1.15');
  printer.underline(true);
  printer.println('Eggs x6                               3.05');
  printer.underline(false);
  printer.invert(true);
  printer.println('TOTAL                                 6.60');
  printer.invert(false);
  printer.alignCenter();
  printer.code128('0042-2026', { hriPos: 2, width: 2, height: 60 });
  printer.newLine();
  printer.printQR('https://example.com/receipt/0042', { cellSize: 4, correction: 'M' });
  printer.newLine();
  printer.println('Thank you!');
  printer.openCashDrawer();
  printer.cut();
  await printer.execute();
})().catch((error) => {
  console.error(error.message || error);
  process.exit(1);
});
