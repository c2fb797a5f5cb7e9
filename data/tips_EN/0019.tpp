Print a photo album
The print button in step 1 prints all or selected pictures as an album on A4 pages.
Choose 9 x 13, 10 x 15, 13 x 18 cm or a width of your own – with captions if you wish.
