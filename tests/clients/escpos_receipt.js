// A shop receipt sent by escpos with the escpos-network adapter to HOST PORT.
// size(w, h) sends GS ! with w and h as the multipliers less one, so (0, 0)
// is normal size; its CODE128 length byte is right only for lengths of an
// even number of hex digits, hence a 16-character code; its width 1 is
// GS w 2, two dots a module, so the code fits 58 mm paper.
const escpos = require('escpos');
escpos.Network = require('escpos-network');

const [host, port] = process.argv.slice(2);
const device = new escpos.Network(host, Number(port));
const printer = new escpos.Printer(device, { encoding: 'cp437' });

device.open((error) => {
  if (error) {
    console.error(error.message || error);
    process.exit(1);
  }
  printer
    .font('a')
    .align('ct')
    .style('b')
    .size(2, 2)
    .text('CAFE 42')
    .size(0, 0)
    .style('normal')
    .text('Station Road 7')
    .align('lt')
    .text('Espresso                 2.20')
    .text('Croissant                1.80')
    .style('u')
    .text('TOTAL                    4.00')
    .style('normal')
    .align('ct')
    .barcode('{BCAFE-0042-2026', 'CODE128', { width: 1, height: 60, position: 'BLW' })
    .feed(1)
    .qrcode('https://example.com/cafe/0042', 3, 'M', 5)
    .text('Merci!')
    .cashdraw(2)
    .cut()
    .close(() => process.exit(0));
});
