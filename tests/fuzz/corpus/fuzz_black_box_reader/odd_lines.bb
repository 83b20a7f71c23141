[sensors]
numGroups=2000000000
numGroups=-1
group0/numSensors=99999999
group0/numSensors=7
group0/sensorX/unit=mm
group0/sensor9/max=1e400
group0/sensor
group0/name=
 t=5
[data]
T=2021-06-25 14:30
A=[x, 2, , 4, 1e3]
A=[1,2,3,4,5
A=]
[device]
A=1 1 1 1 1
