Scanner and digital camera
In the scanner / digital camera menu, first choose your device driver.
Starting the import then brings the picture straight into the open slideshow.
